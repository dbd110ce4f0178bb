// The page's timings in headless Chromium (make bench-web): page opened to
// menu shown, a key press to the painted change, a save's transactions
// stored, for S and for a sector crossing, a galaxy's creation, and the
// bytes the page downloads, compressed.
import {mkdtempSync, readFileSync} from 'node:fs';
import {join} from 'node:path';
import {tmpdir} from 'node:os';
import {gzipSync} from 'node:zlib';
import {serve, openBrowser, waitForScreen, shows, menuShown, typeWhenShown, findShip, screenOf, reloadAndLoad,
        PRESSES_PER_STEP} from '../tests/web/harness.mjs';

const BUILD = process.argv[2] || 'build-web';
const PAGE_FILES = ['index.html', 'style.css', 'keys.js', 'page.js', 'starhollow.js', 'starhollow.wasm'];
const RUNS = 30;

const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const p95 = (xs) => [...xs].sort((a, b) => a - b)[Math.min(xs.length - 1, Math.floor(xs.length * 0.95))];
const ms = (x) => x.toFixed(1) + ' ms';

// In the page before it starts: when the menu first shows, when each key
// press leads to a changed screen and the next frame, and how long each
// batch of storage transactions takes from the first begun to the last done.
function instrument() {
  window.bench = {menuAt: null, keys: [], batches: []};
  const screenText = () => document.getElementById('screen').textContent;
  new MutationObserver(() => {
    if (bench.menuAt === null && screenText().includes('MAIN MENU')) bench.menuAt = performance.now();
    const key = bench.keys[bench.keys.length - 1];
    if (key && key.changed === undefined) {
      key.changed = performance.now();
      requestAnimationFrame(() => { key.painted = performance.now(); });
    }
  }).observe(document, {subtree: true, childList: true, characterData: true});
  addEventListener('keydown', (event) => bench.keys.push({pressed: event.timeStamp}), true);
  let open = 0, batch = null;
  const transaction = IDBDatabase.prototype.transaction;
  IDBDatabase.prototype.transaction = function (stores, mode) {
    const tx = transaction.apply(this, arguments);
    if (mode !== 'readwrite') return tx;
    if (open++ === 0 && !batch) batch = {begun: performance.now()};
    tx.addEventListener('complete', () => {
      if (--open === 0) setTimeout(() => {
        if (open === 0 && batch) { batch.done = performance.now(); bench.batches.push(batch); batch = null; }
      }, 0);
    });
    return tx;
  };
}

async function keyToPaint(page, key) {
  await page.evaluate(() => { bench.keys = []; });
  await page.keyboard.press(key);
  await page.waitForFunction(() => bench.keys.length > 0 && bench.keys[bench.keys.length - 1].painted !== undefined);
  return page.evaluate(() => bench.keys[bench.keys.length - 1].painted - bench.keys[bench.keys.length - 1].pressed);
}

// The storage work of the last action: from the first transaction begun to
// the last one done, once none has been open for a while.
async function storedSpan(page) {
  await page.waitForFunction(() => bench.batches.length > 0, {timeout: 5000});
  await new Promise((resolve) => setTimeout(resolve, 200));
  return page.evaluate(() => Math.max(...bench.batches.map((b) => b.done)) - Math.min(...bench.batches.map((b) => b.begun)));
}

async function press(page, key, times) {
  for (let i = 0; i < times; ++i) await page.keyboard.press(key);
}

// Flies the ship up to the map's top row. An encounter on the way is left
// by a reload (the page saves the galaxy, as a hangup does) and the galaxy
// is loaded again; a planet in the way is passed on its right.
async function flyToTopRow(page, galaxy) {
  for (;;) {
    const screen = await screenOf(page);
    const ship = findShip(screen);
    if (!ship || shows('Crew member')(screen)) {
      await reloadAndLoad(page, galaxy);
      continue;
    }
    if (ship.y <= 1) return ship;
    const sideways = screen.text[ship.y - 1][ship.x] !== ' ';
    await press(page, sideways ? 'ArrowRight' : 'ArrowUp', PRESSES_PER_STEP);
    await waitForScreen(page, (s) => {
      const now = findShip(s);
      return !now || shows('Crew member')(s) || now.x !== ship.x || now.y !== ship.y;
    }, 'a step');
  }
}

const server = await serve(BUILD);
const browser = await openBrowser(mkdtempSync(join(tmpdir(), 'starhollow-bench-')));
try {
  const menus = [];
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(instrument);
  for (let i = 0; i < 5; ++i) {
    await page.goto(server.url, {waitUntil: 'domcontentloaded'});
    await waitForScreen(page, menuShown, 'the menu');
    menus.push(await page.evaluate(() => bench.menuAt));
  }

  await page.keyboard.type('N');
  await typeWhenShown(page, 'Type new galaxy name', 'Bench\n');
  await waitForScreen(page, shows("4 - I'm not looking"), 'the goals');
  const created = Date.now();
  await page.keyboard.type('2');
  await waitForScreen(page, shows('Press any key'), 'the created galaxy', 60000);
  const creation = Date.now() - created;
  await page.keyboard.type(' ');
  await waitForScreen(page, findShip, 'the map');

  const keys = [];
  for (let i = 0; i < RUNS; ++i) {
    keys.push(await keyToPaint(page, 'KeyI'));
    await waitForScreen(page, shows('Health'), 'the ship\'s information');
    keys.push(await keyToPaint(page, 'Space'));
    await waitForScreen(page, findShip, 'the map');
  }

  await page.evaluate(() => { bench.batches = []; });
  for (let i = 0; i < RUNS; ++i) {
    await page.keyboard.type('S');
    await waitForScreen(page, shows('Game saved successfully!'), 'the save');
    await page.keyboard.type(' ');
    await waitForScreen(page, (s) => !shows('Game saved')(s), 'the map');
  }
  const saves = (await page.evaluate(() => bench.batches)).map((b) => b.done - b.begun);

  // Sector crossings: out of the top edge and back in, each a save of the
  // sector left and the player, then the next sector read.
  await page.keyboard.type('`');
  await typeWhenShown(page, 'Board computer console', 'enableTurboAcceleration;61358024\naddFuel;99999\nexit\n');
  await waitForScreen(page, findShip, 'the map after the board computer');
  await flyToTopRow(page, 'Bench');
  const crossings = [];
  for (let i = 0; i < RUNS; ++i) {
    const from = findShip(await screenOf(page));
    await page.evaluate(() => { bench.batches = []; });
    await press(page, i % 2 === 0 ? 'ArrowUp' : 'ArrowDown', PRESSES_PER_STEP);
    await waitForScreen(page, (s) => findShip(s) && findShip(s).y !== from.y, 'the next sector');
    crossings.push(await storedSpan(page));
  }

  let raw = 0, compressed = 0;
  for (const file of PAGE_FILES) {
    const bytes = readFileSync(join(BUILD, file));
    raw += bytes.length;
    compressed += gzipSync(bytes, {level: 9}).length;
  }

  console.log(`page opened to menu shown      median ${ms(median(menus))} (of ${menus.length} loads)`);
  console.log(`key press to painted change    median ${ms(median(keys))}, 95th percentile ${ms(p95(keys))} (${keys.length} presses)`);
  console.log(`save stored (3 transactions)   median ${ms(median(saves))}, 95th percentile ${ms(p95(saves))} (${saves.length} saves)`);
  console.log(`sector crossing stored         median ${ms(median(crossings))}, 95th percentile ${ms(p95(crossings))} (${crossings.length} crossings)`);
  console.log(`galaxy created                 ${ms(creation)}`);
  console.log(`page downloads                 ${(compressed / 1024).toFixed(0)} KiB compressed (${(raw / 1024).toFixed(0)} KiB as sent uncompressed)`);
} finally {
  await browser.close();
  server.close();
}
