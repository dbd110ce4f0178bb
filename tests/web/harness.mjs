// Serves a built page folder on 127.0.0.1 and opens it in headless Chromium.
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import {extname, join, normalize} from 'node:path';
import {createRequire} from 'node:module';

// The page's own tooling (web/package.json) drives the browser.
const puppeteer = createRequire(new URL('../../web/package.json', import.meta.url))('puppeteer-core');

const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm'};

export async function serve(folder) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^\/+/, '');
    const file = path || 'index.html';
    try {
      const body = await readFile(join(folder, file));
      response.writeHead(200, {'Content-Type': TYPES[extname(file)] || 'application/octet-stream'});
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close()};
}

export async function openBrowser(profile) {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--window-size=1280,800'],
    defaultViewport: {width: 1280, height: 800},
  });
}

export const screenOf = (page) => page.evaluate(() => window.starhollow.screen());

// Waits until `check` holds for the screen; fails with the screen it last saw.
export async function waitForScreen(page, check, what, timeoutMs = 20000) {
  const deadline = Date.now() + timeoutMs;
  let screen;
  for (;;) {
    screen = await screenOf(page).catch(() => null);
    if (screen && check(screen)) return screen;
    if (Date.now() > deadline) throw new Error(`timed out waiting for ${what}:\n${screen ? screen.text.join('\n') : '(no screen)'}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

export const shows = (text) => (screen) => screen.text.some((line) => line.includes(text));

const MAP_BLUE = 4;
export const PRESSES_PER_STEP = 16;
export const menuShown = shows('MAIN MENU');

export function findShip(screen) {
  for (let y = 0; y < 25; ++y)
    for (let x = 0; x < 80; ++x) if (screen.text[y][x] === 'H' && screen.bg[y][x] === MAP_BLUE) return {x, y};
  return null;
}

export async function typeWhenShown(page, text, keys) {
  await waitForScreen(page, shows(text), `"${text}"`);
  await page.keyboard.type(keys);
}

// A new galaxy from the menu, and one step of the ship onto a free cell (the
// board computer leaves fuel for that step only, so nothing can come in its
// way). Returns where the ship started and where it stands.
export async function newGalaxyAndStep(page, name) {
  await page.keyboard.type('N');
  await typeWhenShown(page, 'Type new galaxy name', name + '\n');
  await typeWhenShown(page, "4 - I'm not looking", '2');
  await typeWhenShown(page, 'Press any key', ' ');
  const start = findShip(await waitForScreen(page, findShip, 'the ship on the map'));
  await page.keyboard.type('`');
  await typeWhenShown(page, 'Board computer console', 'enableTurboAcceleration;61358024\nremoveFuel;999\nexit\n');
  const map = await waitForScreen(page, findShip, 'the map again');
  const leftFree = map.text[start.y][start.x - 1] === ' ';
  for (let i = 0; i < PRESSES_PER_STEP; ++i) await page.keyboard.press(leftFree ? 'ArrowLeft' : 'ArrowRight');
  const stepped = {x: start.x + (leftFree ? -1 : 1), y: start.y};
  await waitForScreen(page, (s) => JSON.stringify(findShip(s)) === JSON.stringify(stepped), 'the ship one step on');
  return {start, stepped};
}

// Reloads the page and loads the galaxy; where the ship stands in it.
export async function reloadAndLoad(page, name) {
  await page.reload();
  await waitForScreen(page, menuShown, 'the menu after a reload');
  await page.keyboard.type('L');
  await typeWhenShown(page, 'Type world name to load', name + '\n');
  return findShip(await waitForScreen(page, findShip, 'the loaded galaxy'));
}
