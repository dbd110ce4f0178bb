// The browser build end to end in headless Chromium, with real key events,
// read through the page's screen hook: a new galaxy, a step, a save, a
// reload and the galaxy loaded again; a damaged import refused; a recording
// made in the page verified by the Linux build and an export that is the
// very galaxy it loaded; recordings watched in the page. STARHOLLOW_WEB_BUILD names the built page's folder,
// STARHOLLOW_NATIVE the Linux program (its checks are skipped without it).
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, mkdirSync, readdirSync, readFileSync, writeFileSync, existsSync} from 'node:fs';
import {join} from 'node:path';
import {tmpdir} from 'node:os';
import {serve, openBrowser, waitForScreen, shows, menuShown, findShip, typeWhenShown, newGalaxyAndStep,
        reloadAndLoad} from './harness.mjs';

const BUILD = process.env.STARHOLLOW_WEB_BUILD || new URL('../../build-web', import.meta.url).pathname;
const NATIVE = process.env.STARHOLLOW_NATIVE;
async function downloads(folder, count) {
  for (let i = 0; i < 200; ++i) {
    const done = readdirSync(folder).filter((file) => !file.endsWith('.crdownload'));
    if (done.length >= count) return done.sort();
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  throw new Error('downloads missing in ' + folder + ': ' + readdirSync(folder).join(', '));
}

test('a galaxy made, flown, saved, reloaded, recorded and exported in Chromium', {timeout: 240000}, async () => {
  const work = mkdtempSync(join(tmpdir(), 'starhollow-web-'));
  const server = await serve(BUILD);
  const browser = await openBrowser(join(work, 'profile'));
  try {
    const page = await browser.newPage();
    const saved = join(work, 'downloads');
    mkdirSync(saved);
    const session = await browser.target().createCDPSession();
    await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: saved});
    await page.goto(server.url);

    // The menu: its cells, colours, cursor and title.
    const menu = await waitForScreen(page, menuShown, 'the menu');
    assert.equal(menu.text.length, 25);
    assert.ok(menu.text.every((line) => line.length === 80));
    assert.match(menu.text[0], /^\*+MAIN MENU\*+$/);
    assert.ok(menu.fg.flat().every((c) => c === 7) && menu.bg.flat().every((c) => c === 0));
    assert.equal(menu.cursor.visible, false);
    assert.equal(menu.title, await page.title());

    const {stepped} = await newGalaxyAndStep(page, 'Lumen');
    await page.keyboard.type('S');
    await typeWhenShown(page, 'Game saved successfully!', ' ');
    await waitForScreen(page, (s) => !shows('Game saved')(s), 'the save window closed');

    // A damaged galaxy of the same name is refused, and the kept one stays.
    const damaged = join(work, 'Lumen.glx');
    writeFileSync(damaged, Buffer.alloc(4096, 7));
    await (await page.$('#import')).uploadFile(damaged);
    await page.waitForFunction(() => /damaged/.test(document.getElementById('status').textContent));

    // Reloaded, the galaxy loads with the ship where it was saved.
    assert.deepEqual(await reloadAndLoad(page, 'Lumen'), stepped);

    // A recorded game that loads the galaxy; its end downloads it all.
    await page.click('#record');
    await waitForScreen(page, menuShown, 'the recorded game\'s menu');
    await page.keyboard.type('L');
    await typeWhenShown(page, 'Type world name to load', 'Lumen\n');
    await waitForScreen(page, findShip, 'the galaxy in the recorded game');
    await page.click('#record');
    const recorded = await downloads(saved, 2);
    assert.equal(recorded.length, 2);
    const recording = recorded.find((file) => file.endsWith('.rec'));
    assert.ok(recorded.includes(recording + '.Lumen.glx'), recorded.join(', '));

    // The export is the galaxy the recording loaded.
    await waitForScreen(page, menuShown, 'a plain game after the recording');
    await page.select('#galaxies', 'Lumen').catch(() => {});
    await page.click('#export');
    const files = await downloads(saved, 3);
    assert.ok(files.includes('Lumen.glx'), files.join(', '));
    assert.deepEqual(readFileSync(join(saved, 'Lumen.glx')), readFileSync(join(saved, recording + '.Lumen.glx')));

    // Watching: a damaged recording is refused in the desktop's one line;
    // the tutorial's plays in the page (each key doubles its pace) and ends.
    const broken = join(work, 'broken.rec');
    writeFileSync(broken, 'garbage\n');
    await (await page.$('#watch')).uploadFile(broken);
    await page.waitForFunction(() => document.getElementById('status').textContent === 'starhollow: this is not a Starhollow recording.');
    await waitForScreen(page, menuShown, 'a plain game after the refusal');
    await (await page.$('#watch')).uploadFile(new URL('../recordings/tutorial.rec', import.meta.url).pathname);
    await waitForScreen(page, (s) => !menuShown(s), 'the replay under way');
    for (let i = 0; i < 3; ++i) await page.keyboard.press('Space');
    await page.waitForFunction(() => /screens/.test(document.getElementById('status').textContent), {timeout: 30000});
    assert.match(await page.$eval('#status', (e) => e.textContent), /^Every screen matched/);
    await waitForScreen(page, menuShown, 'a plain game after the replay');

    // A whole galaxy imports under its file's name.
    const twin = join(work, 'Twin.glx');
    writeFileSync(twin, readFileSync(join(saved, 'Lumen.glx')));
    await (await page.$('#import')).uploadFile(twin);
    await page.waitForFunction(() => /Twin imported/.test(document.getElementById('status').textContent));

    if (NATIVE && existsSync(NATIVE)) {
      const report = execFileSync(NATIVE, ['--verify', join(saved, recording)], {encoding: 'utf8'});
      assert.match(report, /^Every screen matched/);
    }
  } finally {
    await browser.close();
    server.close();
  }
});
