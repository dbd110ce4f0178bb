// Serves a built page folder on 127.0.0.1 and opens it in headless Chromium.
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import {extname, join, normalize} from 'node:path';
import puppeteer from 'puppeteer-core';

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
