// The browser edition on phones and tablets, installed and offline, and on a screen of two
// pixels to a page pixel, in headless chromium: node devices.test.mjs PAGE_DIR CHECK. Touch is
// the browser's own touch emulation; scenes as in browser.test.mjs.
import { appendFileSync, cpSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { openGame, frame, sameFrame, waitFor, RED, GREEN, sleep, fail, ship, key, calmScene, runCheck } from './lib.mjs';

const sourceDir = join(dirname(fileURLToPath(import.meta.url)), '..', '..');

// Touch through the browser's own touch emulation, ten points: each finger {id, x, y}.
function touchScreen(width, height) {
  return async (page) => {
    await page.setViewport({ width, height });
    const cdp = await page.createCDPSession();
    await cdp.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 10 });
    page.fingers = async (type, points) => cdp.send('Input.dispatchTouchEvent', {
      type, touchPoints: points.map((p) => ({ x: p.x, y: p.y, id: p.id, radiusX: 4, radiusY: 4 })) });
  };
}

async function centre(page, name) {
  return page.$eval(`[aria-label="${name}"]`, (e) => {
    const r = e.getBoundingClientRect();
    return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
  });
}

// A finger on ship 1's forward control flies the red ship, one slid off its fire control
// fires on until it lifts, and fingers on two seats act together; nothing scrolls or zooms.
async function touchSeats(browser, url, width, height) {
  const { page, rest } = await calmScene(browser, url, null, touchScreen(width, height));
  if (await page.$('.vx-touch')) fail('controls before the first touch');
  await page.fingers('touchStart', [{ id: 1, x: width / 2, y: height / 2 }]);
  await page.fingers('touchEnd', []);
  const names = await waitFor('the seat controls', () => page.$$eval('.vx-control', (els) => els.map((e) => e.getAttribute('aria-label'))), 3000);
  if (names.length !== 18 || !names.includes('Ship 3 backward') || !names.includes('Sentry turn left') || names.includes('Sentry forward'))
    fail(`controls ${names}`);
  const boxes = await page.$$eval('.vx-seat', (els) => els.map((e) => e.getBoundingClientRect().toJSON()));
  boxes.forEach((a, i) => {
    if (a.left < 0 || a.top < 0 || a.right > width || a.bottom > height) fail(`seat ${i + 1} leaves the screen`);
    boxes.slice(i + 1).forEach((b) => {
      if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) fail('two seats overlap');
    });
  });
  const forward = await centre(page, 'Ship 1 forward');
  await page.fingers('touchStart', [{ id: 2, ...forward }]);
  await waitFor('ship 1 to fly on its forward control', async () => {
    const s = ship(await frame(page), RED);
    return s.n > 0 && Math.hypot(s.x - rest.x, s.y - rest.y) > 20;
  }, 5000);
  await page.fingers('touchEnd', []);
  if ((await page.$eval('[aria-label="Ship 1"]', (e) => e.dataset.seat)) !== 'taken') fail('ship 1 seat not taken');
  // Slid off fire into the arena: it fires until the finger lifts.
  const fire = await centre(page, 'Ship 1 fire');
  await page.fingers('touchStart', [{ id: 3, ...fire }]);
  await page.fingers('touchMove', [{ id: 3, x: width / 2, y: height / 2 }]);
  await waitFor('ship 1 to fire', async () => ship(await frame(page), RED).bullets > 0, 5000);
  await sleep(600);
  if (!ship(await frame(page), RED).bullets) fail('ship 1 stopped firing when the finger slid out');
  await page.fingers('touchEnd', []);
  await waitFor('ship 1 to stop firing once lifted', async () => ship(await frame(page), RED).bullets === 0, 5000);
  // Two seats at once: ship 2 flies while ship 1 fires; lifting one leaves the other.
  const green = ship(await frame(page), GREEN);
  await page.fingers('touchStart', [{ id: 4, ...fire }, { id: 5, ...(await centre(page, 'Ship 2 forward')) }]);
  await waitFor('ship 2 to fly while ship 1 fires', async () => {
    const f = await frame(page);
    const g = ship(f, GREEN);
    return ship(f, RED).bullets > 0 && g.n > 0 && Math.hypot(g.x - green.x, g.y - green.y) > 20;
  }, 5000);
  await page.fingers('touchEnd', [{ id: 4, ...fire }]);
  await waitFor('ship 1 to stop firing, ship 2 flying on', async () => ship(await frame(page), RED).bullets === 0, 5000);
  const pressed = () => page.$eval('[aria-label="Ship 2 forward"]', (e) => e.classList.contains('vx-pressed'));
  if (!(await pressed())) fail('ship 2 let go');
  // A cancelled finger lets go too.
  await page.fingers('touchCancel', []);
  await waitFor('ship 2 to let go when its finger is cancelled', async () => !(await pressed()), 3000);
  const view = await page.evaluate(() => [window.scrollX, window.scrollY, visualViewport.scale, document.documentElement.scrollTop]);
  if (view.join() !== '0,0,1,0') fail(`scroll and zoom ${view}`);
  // The menus and dialogs by tap.
  await page.tap('.vx-menutitle:nth-child(2)');
  const about = await waitFor('the Help menu', () => page.$$('.vx-menu .vx-menuitem').then(async (rows) => {
    for (const row of rows) if ((await row.evaluate((e) => e.textContent)) === 'About') return row;
    return null;
  }), 3000);
  await about.tap();
  await (await waitFor('the About dialog', () => page.$('.vx-dialog .vx-button'), 3000)).tap();
  await waitFor('the dialog to close', async () => !(await page.$('.vx-overlay')), 3000);
}

// The page once its service worker has taken it over, its files in the worker's cache.
async function workerGame(browser, url) {
  const game = await openGame(browser, url);
  await waitFor('the service worker', () => game.page.evaluate(() => !!navigator.serviceWorker.controller), 10000);
  return game;
}

async function ticking(page) {
  await waitFor('a new game', () => page.evaluate(() => window.vexlor && window.vexlor.firstFrame() > 0), 10000);
  const t = await page.evaluate(() => window.vexlor.ticks());
  await waitFor('ticks', () => page.evaluate((t0) => window.vexlor.ticks() > t0 + 10, t), 5000);
}

const checks = {
  // At a device pixel ratio of 2 every game pixel is two by two screen pixels of its colour.
  async crisp(browser, url) {
    const { page } = await openGame(browser, url, null, (p) => p.setViewport({ width: 900, height: 700, deviceScaleFactor: 2 }));
    await key(page, 'KeyP');
    let previous = null;
    const f = await waitFor('the arena to stand still', async () => {
      const now = await frame(page);
      const still = previous && sameFrame(previous, now);
      previous = now;
      return still && now;
    }, 5000, 300);
    const box = await page.$eval('canvas', (c) => {
      const r = c.getBoundingClientRect();
      return { x: r.left + c.clientLeft, y: r.top + c.clientTop, width: c.width, height: c.height };
    });
    // Of the screen as it is: captured beyond the viewport, the page would be resized for it.
    const shot = await page.screenshot({ clip: box, encoding: 'base64', captureBeyondViewport: false });
    const screen = await page.evaluate(async (png) => {
      const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${png}`)).blob(),
        { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
      const c = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
      c.drawImage(bitmap, 0, 0);
      const d = c.getImageData(0, 0, bitmap.width, bitmap.height).data;
      const rgb = [];
      for (let i = 0; i < d.length; i += 4) rgb.push((d[i] << 16) | (d[i + 1] << 8) | d[i + 2]);
      return { width: bitmap.width, height: bitmap.height, rgb };
    }, shot);
    if (screen.width !== 2 * f.width || screen.height !== 2 * f.height) fail(`screenshot ${screen.width} x ${screen.height} of ${f.width} x ${f.height}`);
    let bad = 0;
    for (let y = 0; y < screen.height; y++)
      for (let x = 0; x < screen.width; x++) if (screen.rgb[y * screen.width + x] !== f.at(x >> 1, y >> 1)) bad++;
    if (bad) fail(`${bad} screen pixels differ from their game pixel`);
  },

  // F11, and the full-screen button that a touch screen shows, switch full screen.
  async fullscreen(browser, url) {
    const { page } = await openGame(browser, url, null, touchScreen(900, 700));
    const full = () => page.evaluate(() => !!document.fullscreenElement);
    await key(page, 'F11');
    await waitFor('full screen on F11', full, 3000);
    await key(page, 'F11');
    await waitFor('full screen left on F11', async () => !(await full()), 3000);
    if (await page.$('[aria-label="Full screen"]')) fail('a full-screen button before the first touch');
    await page.fingers('touchStart', [{ id: 1, x: 450, y: 400 }]);
    await page.fingers('touchEnd', []);
    const button = await waitFor('the full-screen button', () => page.$('[aria-label="Full screen"]'), 3000);
    await button.tap();
    await waitFor('full screen on its button', full, 3000);
  },

  async installable(browser, url) {
    const { page } = await workerGame(browser, url);
    const cdp = await page.createCDPSession();
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    if (installabilityErrors.length) fail(`not installable: ${JSON.stringify(installabilityErrors)}`);
    const manifest = await cdp.send('Page.getAppManifest');
    if (manifest.errors.length) fail(`manifest errors: ${JSON.stringify(manifest.errors)}`);
    const parsed = JSON.parse(manifest.data);
    const icons = parsed.icons.map((i) => `${i.sizes} ${i.purpose || 'any'}`).join(', ');
    if (parsed.display !== 'standalone' || icons !== '192x192 any, 512x512 any, 512x512 maskable') fail(`manifest ${manifest.data}`);
  },

  // After one visit the game starts and ticks with the server gone.
  async offline(browser, url, server) {
    const { page } = await workerGame(browser, url);
    server.stop();
    await page.reload();
    await ticking(page);
  },

  // Build B served after build A: a reload runs B's script and module, and only B's cache stays.
  async update(browser, url, server) {
    const b = mkdtempSync(join(tmpdir(), 'vexlor-build-b-'));
    try {
      cpSync(server.dir, b, { recursive: true });
      appendFileSync(join(b, 'index.js'), '\nwindow.vexlorBuildB = true;\n');
      execFileSync('cmake', [`-DPAGE=${b}`, '-P', join(sourceDir, 'packaging/web/Publish.cmake')]);
      const { page } = await workerGame(browser, url);
      server.dir = b;
      await page.reload();
      await ticking(page);
      const build = readFileSync(join(b, 'index.html'), 'utf8').match(/name="vexlor-build" content="(\w+)"/)[1];
      const ran = await page.evaluate(() => ({
        b: window.vexlorBuildB === true,
        files: performance.getEntriesByType('resource').map((r) => r.name).filter((n) => /index\.(js|wasm)/.test(n)),
      }));
      if (!ran.b || ran.files.length !== 2 || !ran.files.every((n) => n.endsWith(`?build=${build}`))) fail(`after the reload: ${JSON.stringify(ran)}`);
      await waitFor('only build B cached', () => page.evaluate((name) => caches.keys().then((k) => k.join() === name), `vexlor-${build}`), 10000);
    } finally {
      rmSync(b, { recursive: true, force: true });
    }
  },

  touchtablet: (browser, url) => touchSeats(browser, url, 1194, 834),
  touchphone: (browser, url) => touchSeats(browser, url, 390, 844),

  // A seat's controls untouched for 30 s give the seat back.
  async touchidle(browser, url) {
    const { page } = await openGame(browser, url, null, touchScreen(1194, 834));
    await page.fingers('touchStart', [{ id: 1, x: 600, y: 400 }]);
    await page.fingers('touchEnd', []);
    const turn = await waitFor('the seat controls', () => page.$('[aria-label="Sentry turn left"]').then((e) => e && centre(page, 'Sentry turn left')), 3000);
    await page.fingers('touchStart', [{ id: 2, ...turn }]);
    await page.fingers('touchEnd', []);
    const seat = () => page.$eval('[aria-label="Sentry"]', (e) => e.dataset.seat);
    await waitFor('the sentry taken', async () => (await seat()) === 'taken', 3000);
    const t0 = Date.now();
    await waitFor('the sentry given back', async () => (await seat()) === 'free', 45000, 250);
    const held = (Date.now() - t0) / 1000;
    console.log(`the sentry's seat came free after ${held.toFixed(1)} s untouched`);
    if (held < 29.5) fail(`given back after ${held} s`);
  },
};

await runCheck(checks);
