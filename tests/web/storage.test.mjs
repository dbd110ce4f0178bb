// The galaxy store when the browser does not keep what it is given: storage
// that refuses (full), and a tab that dies part of the way through a save.
// Either way the galaxy stays whole: the old save or the new, never torn.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {mkdtempSync} from 'node:fs';
import {join} from 'node:path';
import {tmpdir} from 'node:os';
import {serve, openBrowser, waitForScreen, shows, menuShown, newGalaxyAndStep, reloadAndLoad} from './harness.mjs';

const BUILD = process.env.STARHOLLOW_WEB_BUILD || new URL('../../build-web', import.meta.url).pathname;

// From the (kept)-th transaction of the save on, nothing reaches storage:
// each later transaction is refused as a full disk or a dead tab would.
function refuseStorageAfter(kept, how) {
  let count = 0;
  const transaction = IDBDatabase.prototype.transaction;
  IDBDatabase.prototype.transaction = function (stores, mode) {
    const tx = transaction.apply(this, arguments);
    if (mode === 'readwrite' && ++count > kept) {
      if (how === 'full') tx.objectStore('blocks').put = () => { throw new DOMException('full', 'QuotaExceededError'); };
      else tx.abort();
    }
    return tx;
  };
}

async function withPage(body) {
  const server = await serve(BUILD);
  const browser = await openBrowser(mkdtempSync(join(tmpdir(), 'starhollow-store-')));
  try {
    const page = await browser.newPage();
    await page.goto(server.url);
    await waitForScreen(page, menuShown, 'the menu');
    await body(page);
  } finally {
    await browser.close();
    server.close();
  }
}

test('a full storage fails the save with the game\'s message and loses nothing saved', {timeout: 120000}, () =>
  withPage(async (page) => {
    const {start} = await newGalaxyAndStep(page, 'Full');
    await page.evaluate(refuseStorageAfter, 0, 'full');
    await page.keyboard.type('S');
    await waitForScreen(page, shows('Blad podczas zapisu pliku'), 'the save failure');
    assert.deepEqual(await reloadAndLoad(page, 'Full'), start);
  }));

// The save stores the pending save, then the galaxy's records, then removes
// the pending save: a tab that dies after any of them still loads whole.
test('a tab that dies during a save leaves the old save or the new one', {timeout: 180000}, () =>
  withPage(async (page) => {
    for (const [kept, shipAt] of [[0, 'start'], [1, 'stepped'], [2, 'stepped']]) {
      const name = 'Cut' + kept;
      if (kept > 0) {
        await page.reload();
        await waitForScreen(page, menuShown, 'the menu');
      }
      const positions = await newGalaxyAndStep(page, name);
      await page.evaluate(refuseStorageAfter, kept, 'dead');
      await page.keyboard.type('S');
      assert.deepEqual(await reloadAndLoad(page, name), positions[shipAt], `cut after ${kept} transactions`);
    }
  }));
