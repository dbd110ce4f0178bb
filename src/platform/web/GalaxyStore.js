// The galaxy store: the game's folder (/galaxies) lives in the page's memory
// while it runs, and IndexedDB keeps it between visits. Only what changed
// goes to storage: each file is kept as blocks of 64 KiB, and a write marks
// the blocks it touched. A close, a sync, a rename or a removal stores the
// change in one transaction; IndexedDB runs them in the order they were
// made, and each is all or nothing, so a tab closed at any moment leaves
// the files as they were after some step of the game's save, never torn.
// Made when the page names its database (Module.galaxyDatabase): the kept
// files are listed before the game starts, and each is read when first opened.

var GALAXY_FOLDER = '/galaxies';

function makeGalaxyStore(db) {
  const BLOCK = 65536;
  const outstanding = new Set();
  let refused = null;  // why a transaction failed since the last settle()
  let nextId = 1;

  const kept = (path) => typeof path === 'string' && path.startsWith(GALAXY_FOLDER + '/') &&
                         path.indexOf('/', GALAXY_FOLDER.length + 1) < 0;
  const nameOf = (path) => path.slice(GALAXY_FOLDER.length + 1);

  // Runs `fill` in one read-write transaction; `undo` runs if it fails.
  function transact(fill, undo, durability) {
    let tx;
    try {
      tx = db.transaction(['files', 'blocks'], 'readwrite', {durability: durability || 'default'});
      fill(tx.objectStore('files'), tx.objectStore('blocks'));
    } catch (e) {
      if (tx) try { tx.abort(); } catch (ignored) {}
      refused = e;
      if (undo) undo();
      return;
    }
    const done = new Promise((resolve) => {
      tx.oncomplete = () => resolve(null);
      tx.onabort = () => resolve(tx.error || new Error('storage refused the change'));
    }).then((error) => {
      outstanding.delete(done);
      if (error) {
        refused = error;
        if (undo) undo();
      }
    });
    outstanding.add(done);
  }

  function markDirty(node, from, count) {
    if (!node.storeDirty) node.storeDirty = new Set();
    if (count <= 0) return;
    for (let b = Math.floor(from / BLOCK); b <= Math.floor((from + count - 1) / BLOCK); ++b) node.storeDirty.add(b);
  }

  const dropBlocks = (blocks, id, from) => blocks.delete(IDBKeyRange.bound([id, from], [id, Infinity]));

  // Stores what changed in the file at `path` (a kept file's node), with
  // `also` (more changes to the store) in the same transaction.
  function flush(node, path, durability, also) {
    if (!node.storeDirty && !also) return;
    const dirty = node.storeDirty || new Set();
    node.storeDirty = null;
    if (!node.storeId) node.storeId = nextId++;
    const id = node.storeId;
    const size = node.usedBytes || 0;
    const contents = node.contents;
    const parts = [];
    for (const b of dirty)
      if (b * BLOCK < size) parts.push({block: b, bytes: contents.slice(b * BLOCK, Math.min(size, (b + 1) * BLOCK))});
    transact((files, blocks) => {
      if (also) also(files, blocks);
      files.put({id, size}, nameOf(path));
      for (const part of parts) blocks.put(part.bytes, [id, part.block]);
      dropBlocks(blocks, id, Math.ceil(size / BLOCK));
    }, () => { for (const b of dirty) markDirty(node, b * BLOCK, 1); }, durability);
  }

  function nodeAt(path) {
    try { return FS.lookupPath(path).node; } catch (e) { return null; }
  }
  function absolute(path) {
    const node = nodeAt(path);
    return node ? FS.getPath(node) : null;
  }

  // Watches the file system's own operations, so that every way of writing
  // (the game's files, streams, the page's imports) reaches the store.
  function watch() {
    const write = FS.write, open = FS.open, close = FS.close, truncate = FS.truncate;
    const unlink = FS.unlink, rename = FS.rename;
    FS.write = function (stream, buffer, offset, length, position) {
      const at = typeof position !== 'undefined' ? position
               : (stream.flags & 1024 /* O_APPEND */) ? stream.node.usedBytes : stream.position;
      const written = write.apply(this, arguments);
      if (kept(stream.path)) markDirty(stream.node, at, written);
      return written;
    };
    FS.open = function () {
      const stream = open.apply(this, arguments);
      // A new or emptied file is a change even before anything is written to it.
      if (kept(stream.path) && (stream.flags & (64 /* O_CREAT */ | 512 /* O_TRUNC */))) markDirty(stream.node, 0, 0);
      return stream;
    };
    FS.close = function (stream) {
      if (kept(stream.path) && stream.node.storeDirty) flush(stream.node, stream.path);
      return close.apply(this, arguments);
    };
    FS.truncate = function (path, length) {
      const node = typeof path === 'string' ? nodeAt(path) : path;
      // Only ever emptied before it is read (a replaced import): nothing to read then.
      if (node && node.storeUnread && length === 0) {
        node.storeUnread = false;
        node.contents = null;
      }
      const result = truncate.apply(this, arguments);
      if (node && kept(FS.getPath(node))) markDirty(node, Math.max(0, length - 1), 1);
      return result;
    };
    FS.unlink = function (path) {
      const full = absolute(path);
      const node = full && kept(full) ? nodeAt(full) : null;
      const result = unlink.apply(this, arguments);
      if (node) {
        node.storeDirty = null;
        if (node.storeId) {
          const id = node.storeId;
          transact((files, blocks) => { files.delete(nameOf(full)); dropBlocks(blocks, id, 0); });
        }
      }
      return result;
    };
    // One transaction, as the rename is one step: the file is stored under
    // its old name or under its new one, never both or neither.
    FS.rename = function (from, to) {
      const fullFrom = absolute(from);
      const node = fullFrom ? nodeAt(fullFrom) : null;
      const fullTo = absolute(to);
      const replaced = fullTo ? nodeAt(fullTo) : null;
      const result = rename.apply(this, arguments);
      if (!node) return result;
      const path = FS.getPath(node);
      const forget = (files, blocks) => {
        if (kept(fullFrom) && node.storeId) files.delete(nameOf(fullFrom));
        if (replaced && replaced.storeId && replaced !== node) dropBlocks(blocks, replaced.storeId, 0);
      };
      if (!kept(path)) {
        if (kept(fullFrom) && node.storeId) transact(forget);
        return result;
      }
      if (!node.storeId) markDirty(node, 0, node.usedBytes || 0);
      flush(node, path, 'default', forget);
      return result;
    };
  }

  return {
    // Puts every stored file into the game's folder by name and size only:
    // its contents are read when it is first opened (ensureLoaded). Then
    // watches the folder.
    listStored() {
      return new Promise((resolve, reject) => {
        const tx = db.transaction(['files'], 'readonly');
        const names = tx.objectStore('files').getAllKeys();
        const metas = tx.objectStore('files').getAll();
        tx.oncomplete = () => {
          metas.result.forEach((meta, i) => {
            const path = GALAXY_FOLDER + '/' + names.result[i];
            FS.writeFile(path, new Uint8Array(0));
            const node = FS.lookupPath(path).node;
            node.storeId = meta.id;
            node.usedBytes = meta.size;
            node.storeUnread = meta.size > 0;
            nextId = Math.max(nextId, meta.id + 1);
          });
          watch();
          resolve();
        };
        tx.onabort = () => reject(tx.error);
      });
    },
    // True when the file at `path` is kept and its contents not read yet.
    unread(path) {
      const node = nodeAt(path);
      return !!(node && node.storeUnread);
    },
    // Reads a kept file's contents from storage, once.
    ensureLoaded(path) {
      const node = nodeAt(path);
      if (!node || !node.storeUnread) return Promise.resolve();
      return new Promise((resolve, reject) => {
        const range = IDBKeyRange.bound([node.storeId, 0], [node.storeId, Infinity]);
        const tx = db.transaction(['blocks'], 'readonly');
        const keys = tx.objectStore('blocks').getAllKeys(range);
        const blocks = tx.objectStore('blocks').getAll(range);
        tx.oncomplete = () => {
          if (!node.storeUnread) return resolve();  // emptied meanwhile
          const bytes = new Uint8Array(node.usedBytes);
          keys.result.forEach((key, i) => {
            const at = key[1] * BLOCK;
            if (at < bytes.length) bytes.set(blocks.result[i].subarray(0, bytes.length - at), at);
          });
          node.contents = bytes;
          node.storeUnread = false;
          resolve();
        };
        tx.onabort = () => reject(tx.error);
      });
    },
    flushDescriptor(fd, durability) {
      const stream = FS.getStream(fd);
      if (stream && kept(stream.path)) flush(stream.node, stream.path, durability);
    },
    // True when everything handed to storage so far is stored.
    async settle() {
      while (outstanding.size > 0) await Promise.all([...outstanding]);
      const ok = refused === null;
      if (!ok && Module.onStorageRefused) Module.onStorageRefused(refused);
      refused = null;
      return ok;
    }
  };
}

function openGalaxyDatabase(name) {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(name, 1);
    request.onupgradeneeded = () => {
      request.result.createObjectStore('files');
      request.result.createObjectStore('blocks');
    };
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
    request.onblocked = () => reject(new Error('the galaxy store is in use by an older page'));
  });
}

Module.preRun = [].concat(Module.preRun || []);
Module.preRun.push(function () {
  FS.mkdirTree(GALAXY_FOLDER);
  FS.chdir(GALAXY_FOLDER);
  if (!Module.galaxyDatabase) return;
  addRunDependency('galaxy-store');
  openGalaxyDatabase(Module.galaxyDatabase)
    .then((db) => { const store = makeGalaxyStore(db); return store.listStored().then(() => store); })
    .then((store) => { Module.galaxyStore = store; },
          (error) => { if (Module.onStoreUnavailable) Module.onStoreUnavailable(error); })
    .then(() => removeRunDependency('galaxy-store'));
});
