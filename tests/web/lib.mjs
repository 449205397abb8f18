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

export async function launchBrowser(extraArgs = []) {
  const profile = mkdtempSync(join(tmpdir(), 'vexlor-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.VEXLOR_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`, '--window-size=900,700', ...extraArgs],
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

export const RED = 0xff0000, GREEN = 0x00ff00, DARK_YELLOW = 0xc8c800, WHITE = 0xffffff;
const SCENE_TRIES = 5;
export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

export function fail(message) {
  throw new Error(message);
}

// A ship of this colour outside the scoreboard: its pixel count, centroid and bullets
// (a 4x4 ring of its colour around four white pixels).
export function ship(f, colour) {
  let n = 0, sx = 0, sy = 0, bullets = 0;
  const is = (x, y, c) => x >= 0 && y >= 0 && x < f.width && y < f.height && f.at(x, y) === c;
  for (let y = 50; y < f.height; y++)
    for (let x = 0; x < f.width; x++) {
      const p = f.at(x, y);
      if (p === colour) {
        n++;
        sx += x;
        sy += y;
      } else if (p === WHITE && is(x + 1, y, WHITE) && is(x, y + 1, WHITE) && is(x + 1, y + 1, WHITE) &&
                 is(x, y - 1, colour) && is(x - 1, y, colour) && is(x + 2, y + 1, colour) && is(x + 1, y + 2, colour)) {
        bullets++;
      }
    }
  return { n, x: n ? sx / n : -1, y: n ? sy / n : -1, bullets };
}

export async function key(page, code, hold = 80) {
  await page.keyboard.down(code);
  await sleep(hold);
  await page.keyboard.up(code);
}

// A calm scene: nothing fires or moves unless its keys say so, and ship 1 (red) rests in
// full view below the scoreboard, clear of the edges.
export async function calmScene(browser, url, prepare, setup) {
  for (let attempt = 1; attempt <= SCENE_TRIES; attempt++) {
    const game = await openGame(browser, url, prepare, setup);
    const { page } = game;
    for (const k of ['F4', 'F2', 'F3']) await key(page, k);
    let previous = null;
    const rest = await waitFor('ship 1 at rest', async () => {
      const f = await frame(page);
      const s = ship(f, RED);
      const still = previous && s.n === previous.n && s.x === previous.x && s.y === previous.y && s.bullets === 0;
      previous = s;
      return still ? s : null;
    }, 10000, 200).catch(() => null);
    const f = await frame(page);
    if (rest && rest.n >= 45 && rest.y >= 80 && rest.x > 40 && rest.x < f.width - 40 && rest.y < f.height - 40)
      return { ...game, rest };
    console.log(`scene ${attempt}: ship 1 ${JSON.stringify(rest)}; starting again`);
    await page.close();
    // The places come from the calendar second: a new second, new places.
    await sleep(1100);
  }
  fail('ship 1 never came to rest in full view');
}

// Runs the check named on the command line (node FILE PAGE_DIR CHECK) against the page served
// from PAGE_DIR, in a browser of its own started with argsOf(check); the process's status is
// the check's.
export async function runCheck(checks, argsOf = () => []) {
  const [pageDir, check] = process.argv.slice(2);
  if (!checks[check]) {
    console.error(`usage: node ${process.argv[1]} PAGE_DIR (${Object.keys(checks).join('|')})`);
    process.exit(2);
  }
  const server = await servePage(pageDir);
  const { browser, close } = await launchBrowser(argsOf(check));
  let status = 0;
  try {
    await checks[check](browser, server.url, server);
    console.log(`${check}: ok`);
  } catch (e) {
    console.error(`${check}: ${e.message}`);
    status = 1;
  } finally {
    await close();
    server.close();
  }
  process.exit(status);
}
