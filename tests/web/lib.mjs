// What the browser tests share: the page served from 127.0.0.1, Debian's headless chromium
// driven by puppeteer-core, frames read from the arena's canvas, and waiting for conditions.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import puppeteer from 'puppeteer-core';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json' };

// Serves the built page's directory on a free port of 127.0.0.1; dir may change meanwhile
// (a new build), and stop() ends the server and every connection (the network gone).
export async function servePage(dir) {
  const served = { dir };
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(served.dir, path === '/' ? 'index.html' : path);
    try {
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-store' });
      response.end(body);
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return Object.assign(served, {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => server.close(),
    stop: () => {
      server.close();
      server.closeAllConnections();
    },
  });
}

export async function launchBrowser() {
  const profile = mkdtempSync(join(tmpdir(), 'vexlor-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.VEXLOR_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`, '--window-size=900,700'],
    defaultViewport: { width: 900, height: 700 },
  });
  const close = async () => {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
  };
  return { browser, close };
}

// Waits until check() answers something true, polling; fails with what after timeout ms.
export async function waitFor(what, check, timeout = 10000, every = 50) {
  const end = Date.now() + timeout;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((r) => setTimeout(r, every));
  }
}

// Opens the page and waits for its first frame on the arena's canvas; prepare, when given,
// runs in the page before any of its scripts, and setup with the page before it loads.
export async function openGame(browser, url, prepare, setup) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  if (setup) await setup(page);
  if (prepare) await page.evaluateOnNewDocument(prepare);
  await page.goto(url);
  await waitFor('the first frame', () => page.evaluate(() => window.vexlor && window.vexlor.firstFrame() > 0));
  await page.focus('canvas');
  return { page, errors };
}

// The arena's current frame: {width, height, data} with data as 0xRRGGBB numbers, row by row.
export async function frame(page) {
  const f = await page.evaluate(() => {
    const c = document.querySelector('canvas');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let s = '';
    for (let i = 0; i < d.length; i += 4) s += String.fromCharCode(d[i], d[i + 1], d[i + 2]);
    return { width: c.width, height: c.height, pixels: btoa(s) };
  });
  const bytes = Buffer.from(f.pixels, 'base64');
  const data = new Uint32Array(f.width * f.height);
  for (let i = 0; i < data.length; i++) data[i] = (bytes[3 * i] << 16) | (bytes[3 * i + 1] << 8) | bytes[3 * i + 2];
  return { width: f.width, height: f.height, data, at: (x, y) => data[y * f.width + x] };
}

export function sameFrame(a, b) {
  if (a.width !== b.width || a.height !== b.height) return false;
  for (let i = 0; i < a.data.length; i++) if (a.data[i] !== b.data[i]) return false;
  return true;
}
