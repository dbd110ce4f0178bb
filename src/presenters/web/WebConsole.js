// The module's side of the page's console: the keys the page hands over,
// queued, and the waits the game suspends in. The page supplies the drawing
// (Module.onPresent, Module.onTitle) and pushes keys with pushKey().
Module.webConsole = (function () {
  const keys = [];
  let wakeUp = null;  // ends the wait or pause in progress early

  function suspend(ms, endsOnKey) {
    return new Promise((resolve) => {
      let timer = null;
      const done = (keyCame) => {
        if (timer !== null) clearTimeout(timer);
        wakeUp = null;
        resolve(keyCame);
      };
      wakeUp = (keyCame) => { if (endsOnKey || !keyCame) done(keyCame); };
      if (ms >= 0) timer = setTimeout(() => done(false), ms);
    });
  }

  return {
    pushKey(vk, ch) {
      keys.push(((vk & 0xff) << 8) | (ch & 0xff));
      if (wakeUp) wakeUp(true);
    },
    hasKey() { return keys.length > 0; },
    takeKey() { return keys.shift() || 0; },
    // Resolves true when a key comes, false when the time is up or a stop came.
    wait(ms) { return keys.length > 0 ? Promise.resolve(true) : suspend(ms, true); },
    sleep(ms) { return suspend(ms, false); },
    wake() { if (wakeUp) wakeUp(false); },
    present(cells, x, y, visible) { if (Module.onPresent) Module.onPresent(cells, x, y, visible); },
    setTitle(title) { if (Module.onTitle) Module.onTitle(title); },
  };
})();
