// The browser edition in headless chromium: node browser.test.mjs PAGE_DIR CHECK.
// Each check opens the page served from 127.0.0.1, drives it with real key and mouse events
// and reads the arena from its canvas. Scenes are arranged with the game's own keys (F2, F3
// and F4 hand ships 2 and 3 and the sentry to the keyboard, so that nothing fires unless
// its keys are pressed) and started again, a bounded number of times, when the game spoils them.
import { appendFileSync, cpSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { servePage, launchBrowser, openGame, frame, sameFrame, waitFor } from './lib.mjs';

const [pageDir, check] = process.argv.slice(2);
const sourceDir = join(dirname(fileURLToPath(import.meta.url)), '..', '..');

const RED = 0xff0000, GREEN = 0x00ff00, BLUE = 0x0000ff, DARK_YELLOW = 0xc8c800, WHITE = 0xffffff, BLACK = 0;
const SCENE_TRIES = 5;
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

function fail(message) {
  throw new Error(message);
}

// The glyphs of the default font, read from its source: char -> 16 rows of 8 bits.
function fontGlyphs() {
  const glyphs = {};
  const source = readFileSync(join(sourceDir, 'src/platform/gdi/FontData.cpp'), 'utf8');
  for (const m of source.matchAll(/\{(\d+), \{([^}]*)\}\},\s*\/\/ '(.)'/g))
    glyphs[m[3]] = { advance: +m[1], rows: m[2].split(',').map((v) => parseInt(v, 16)) };
  return glyphs;
}

// The pixels that differ from text drawn at (x, y), ink on paper.
function textMismatches(f, glyphs, text, x, y, ink, paper) {
  let bad = 0, cellX = x;
  for (const c of text) {
    const g = glyphs[c];
    for (let row = 0; row < 16; row++)
      for (let col = 0; col < g.advance; col++) {
        const want = (g.rows[row] << col) & 0x80 ? ink : paper;
        if (f.at(cellX + col, y + row) !== want) bad++;
      }
    cellX += g.advance;
  }
  return bad;
}

// A ship of this colour outside the scoreboard: its pixel count, centroid and bullets
// (a 4x4 ring of its colour around four white pixels).
function ship(f, colour) {
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

function columnHas(f, x, colour) {
  for (let y = 10; y < 46; y++) for (let dx = 0; dx < 24; dx++) if (f.at(x + dx, y) === colour) return true;
  return false;
}

async function key(page, code, hold = 80) {
  await page.keyboard.down(code);
  await sleep(hold);
  await page.keyboard.up(code);
}

// A calm scene: nothing fires or moves unless its keys say so, and ship 1 (red) rests in
// full view below the scoreboard, clear of the edges.
async function calmScene(browser, url, prepare, setup) {
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


// Touch through the browser's own touch emulation, ten points: each finger {id, x, y}.
async function touchScreen(width, height) {
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
  const { page, rest } = await calmScene(browser, url, null, await touchScreen(width, height));
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
    const { page } = await openGame(browser, url, null, await touchScreen(900, 700));
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
      execFileSync('cmake', [`-DPAGE=${b}`, '-P', join(sourceDir, 'src/platform/web/Publish.cmake')]);
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
    const { page } = await openGame(browser, url, null, await touchScreen(1194, 834));
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

  async title(browser, url) {
    const { page } = await openGame(browser, url);
    const title = await page.title();
    if (title !== 'Vexlor') fail(`title "${title}"`);
    const menus = await page.$$eval('.vx-menutitle', (els) => els.map((e) => e.innerHTML));
    if (menus.join('|') !== '<span><u>G</u>ame</span>|<span><u>H</u>elp</span>') fail(`menu bar ${menus}`);
    // The canvas fills the page below the menu bar, its pixels one CSS pixel each.
    const box = await page.$eval('canvas', (c) => {
      const r = c.getBoundingClientRect();
      return { width: c.width, height: c.height, cssWidth: r.width, cssHeight: r.height, bottom: r.bottom,
        inner: window.innerHeight, rendering: getComputedStyle(c).imageRendering };
    });
    if (box.width + 4 !== box.cssWidth || box.height + 4 !== box.cssHeight || box.bottom !== box.inner ||
        box.rendering !== 'pixelated') fail(`canvas ${JSON.stringify(box)}`);
    // It follows the window's size, and shows the frame again at once, also while paused.
    await key(page, 'KeyP');
    await page.setViewport({ width: 640, height: 480 });
    const glyphs = fontGlyphs();
    await waitFor('the arena to follow the window', async () => {
      const f = await frame(page);
      return f.width === 636 && f.height === box.height - 220 && textMismatches(f, glyphs, 'Score:', 10, 10, WHITE, BLACK) === 0;
    }, 3000);
  },

  async scoreboard(browser, url) {
    const { page } = await openGame(browser, url);
    const glyphs = fontGlyphs();
    const f = await frame(page);
    let black = 0;
    for (const p of f.data) if (p === BLACK) black++;
    if (black < 0.9 * f.data.length) fail(`only ${black} of ${f.data.length} pixels are black`);
    const labels = textMismatches(f, glyphs, 'Score:', 10, 10, WHITE, BLACK) + textMismatches(f, glyphs, 'Deaths:', 10, 30, WHITE, BLACK);
    if (labels) fail(`"Score:" and "Deaths:" differ from the font in ${labels} pixels`);
    [[100, RED], [130, GREEN], [160, BLUE], [300, WHITE]].forEach(([x, c]) => {
      if (!columnHas(f, x, c)) fail(`no ${c.toString(16)} column at x = ${x}`);
    });
    if (columnHas(f, 190, DARK_YELLOW)) fail('a fourth column with three ships');
  },

  async thrust(browser, url) {
    const { page, rest } = await calmScene(browser, url);
    await page.keyboard.down('ArrowUp');
    const moved = await waitFor('ship 1 to move while Up is held', async () => {
      const s = ship(await frame(page), RED);
      return s.n > 0 && Math.hypot(s.x - rest.x, s.y - rest.y) > 20 ? s : null;
    }, 5000);
    await page.keyboard.up('ArrowUp');
    console.log(`ship 1 from (${rest.x.toFixed(1)}, ${rest.y.toFixed(1)}) to (${moved.x.toFixed(1)}, ${moved.y.toFixed(1)})`);
  },

  // A stand-in for the Gamepad API, there before the page's scripts: one controller of the
  // standard layout that the test moves. It takes ship 1's seat; stick up flies the ship,
  // the south button fires, and unplugging it lets go of both.
  async gamepad(browser, url) {
    const standIn = () => {
      const pad = { index: 0, id: 'stand-in', connected: true, mapping: 'standard', axes: [0, 0, 0, 0],
        buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
      window.testPads = [pad];
      navigator.getGamepads = () => window.testPads;
    };
    const { page, rest } = await calmScene(browser, url, standIn);
    await page.evaluate(() => { window.testPads[0].axes[1] = -1; });
    const moved = await waitFor('ship 1 to move while the stick is up', async () => {
      const s = ship(await frame(page), RED);
      return s.n > 0 && Math.hypot(s.x - rest.x, s.y - rest.y) > 20 ? s : null;
    }, 5000);
    await page.evaluate(() => { window.testPads[0].axes[1] = 0; window.testPads[0].buttons[0].pressed = true; });
    await waitFor('a bullet of ship 1 while the south button is held', async () => ship(await frame(page), RED).bullets > 0, 5000);
    // Unplugged while the button is held: ship 1's bullets stop coming (each lives a few ticks).
    await page.evaluate(() => { window.testPads = []; });
    await waitFor('no bullet of ship 1 once the controller is gone', async () => ship(await frame(page), RED).bullets === 0, 5000);
    console.log(`ship 1 flew from (${rest.x.toFixed(1)}, ${rest.y.toFixed(1)}) to (${moved.x.toFixed(1)}, ${moved.y.toFixed(1)}) on the stick, fired on the south button`);
  },

  async fire(browser, url) {
    const { page } = await calmScene(browser, url);
    await page.keyboard.down('Enter');
    await waitFor('a bullet of ship 1 while Enter is held', async () => ship(await frame(page), RED).bullets > 0, 5000);
    await page.keyboard.up('Enter');
  },

  async autopilot(browser, url) {
    const { page, rest } = await calmScene(browser, url);
    await key(page, 'F1');
    await waitFor('ship 1 to fly or fire on its own', async () => {
      const s = ship(await frame(page), RED);
      return s.bullets > 0 || s.n !== rest.n || Math.hypot(s.x - rest.x, s.y - rest.y) > 3;
    }, 15000);
  },

  async pause(browser, url) {
    const { page } = await openGame(browser, url);
    await key(page, 'KeyP');
    await sleep(200);
    const a = await frame(page);
    await sleep(1000);
    const b = await frame(page);
    if (!sameFrame(a, b)) fail('the arena moved while paused');
    await key(page, 'KeyP');
    await waitFor('the arena to move again', async () => !sameFrame(b, await frame(page)), 5000);
  },

  async shipcount(browser, url) {
    const { page } = await openGame(browser, url);
    await key(page, 'PageUp');
    await waitFor('a fourth column', async () => columnHas(await frame(page), 190, DARK_YELLOW), 3000);
  },

  async dialogs(browser, url) {
    const { page } = await openGame(browser, url);
    const cases = [
      { path: ['Help', 'General'], title: 'General', texts: ['- Fly your ship around and shoot others', '- There ARE different weapon classes'], button: 'OK' },
      { path: ['Help', 'Keys', 'Flight'], title: 'Keys', texts: ['Keys:', 'NumPad5', 'Player 3:'], button: 'OK' },
      { path: ['Help', 'Keys', 'Control'], title: 'Control Keys', texts: ['Toggle AI for ships 1-3 and sentry', 'PgUp/PgDown', 'Add/Remove ships'], button: 'OK' },
      { path: ['Help', 'About'], title: 'Vexlor', texts: ['Vexlor v1.2'], button: 'OK' },
    ];
    for (const c of cases) {
      // Through the menus with the mouse.
      await page.click('.vx-menutitle:nth-child(2)');
      for (const step of c.path.slice(1)) {
        const rows = await page.$$('.vx-menu .vx-menuitem');
        let clicked = false;
        for (const row of rows) {
          if ((await row.evaluate((e) => e.firstChild.textContent)) === step) {
            await row.click();
            clicked = true;
            break;
          }
        }
        if (!clicked) fail(`no menu item ${step}`);
      }
      const dialog = await waitFor(`the ${c.title} dialog`, () => page.$('.vx-dialog'), 3000);
      const title = await dialog.$eval('.vx-title span', (e) => e.textContent);
      const texts = await dialog.$$eval('.vx-static', (els) => els.map((e) => e.textContent).join('\n'));
      if (title !== c.title) fail(`dialog title "${title}", not "${c.title}"`);
      for (const t of c.texts) if (!texts.includes(t)) fail(`the ${c.title} dialog has no "${t}"`);
      // Modal: the overlay covers the page, and the game goes on behind it.
      const before = await frame(page);
      await waitFor('the game to go on behind the dialog', async () => !sameFrame(before, await frame(page)), 3000);
      await page.click('.vx-button');
      await waitFor('the dialog to close', async () => !(await page.$('.vx-overlay')), 3000);
      await waitFor('the arena to have the keys back', () => page.evaluate(() => document.activeElement.tagName === 'CANVAS'), 3000);
    }
    // With the keys: Alt+H opens Help, K its Keys submenu, Enter its first item; Enter closes.
    await page.keyboard.down('AltLeft');
    await key(page, 'KeyH');
    await page.keyboard.up('AltLeft');
    await waitFor('the Help menu', () => page.$('.vx-menu'), 3000);
    await key(page, 'KeyK');
    await waitFor('the Keys submenu', async () => (await page.$$('.vx-menu')).length === 2, 3000);
    await key(page, 'Enter');
    const keys = await waitFor('the Keys dialog', () => page.$('.vx-dialog'), 3000);
    if ((await keys.$eval('.vx-title span', (e) => e.textContent)) !== 'Keys') fail('Alt+H, K, Enter opened no Keys dialog');
    await key(page, 'Enter');
    await waitFor('the dialog to close on Enter', async () => !(await page.$('.vx-overlay')), 3000);
    // Alt+G opens Game, whose Exit is E&xit.
    await page.keyboard.down('AltLeft');
    await key(page, 'KeyG');
    await page.keyboard.up('AltLeft');
    const game = await waitFor('the Game menu', () => page.$('.vx-menu'), 3000);
    const exit = await game.$eval('.vx-menuitem', (e) => e.firstChild.innerHTML);
    if (exit !== 'E<u>x</u>it') fail(`Game menu item ${exit}`);
    await key(page, 'Escape');
    await waitFor('the menu to close', async () => !(await page.$('.vx-menu')), 3000);
    if (await page.evaluate(() => window.vexlor.ended())) fail('Escape in a menu ended the game');
  },

  async focus(browser, url) {
    const { page } = await calmScene(browser, url);
    await page.keyboard.down('Enter');
    await waitFor('a bullet of ship 1 while Enter is held', async () => ship(await frame(page), RED).bullets > 0, 5000);
    // Another tab takes the focus: the held key is released, so ship 1 stops firing and its
    // bullets run out.
    const other = await browser.newPage();
    await other.bringToFront();
    await sleep(300);
    await page.bringToFront();
    await waitFor('the bullets of ship 1 to run out', async () => ship(await frame(page), RED).bullets === 0, 5000);
    await sleep(500);
    if (ship(await frame(page), RED).bullets) fail('ship 1 fires on after the focus left');
    await page.keyboard.up('Enter');
  },

  async escape(browser, url) {
    const { page } = await openGame(browser, url);
    await key(page, 'Escape');
    await waitFor('the end of the game', () => page.evaluate(() => document.body.textContent.includes('The game has ended.')), 3000);
    const ticks = await page.evaluate(() => window.vexlor.ticks());
    if (await page.$('canvas')) fail('the arena stays after Escape');
    await sleep(300);
    if ((await page.evaluate(() => window.vexlor.ticks())) !== ticks) fail('the timer runs on after the end');
    // The link starts the game again.
    await Promise.all([page.waitForNavigation(), page.click('.vx-ended a')]);
    await waitFor('a new game', () => page.evaluate(() => window.vexlor && window.vexlor.firstFrame() > 0));
  },

  async exitmenu(browser, url) {
    const { page } = await openGame(browser, url);
    await page.click('.vx-menutitle:nth-child(1)');
    await (await waitFor('the Game menu', () => page.$('.vx-menu .vx-menuitem'), 3000)).click();
    await waitFor('the end of the game', () => page.evaluate(() => document.body.textContent.includes('The game has ended.')), 3000);
  },

  async tickrate(browser, url) {
    const { page } = await openGame(browser, url);
    const rate = await page.evaluate(async () => {
      const t0 = performance.now(), n0 = window.vexlor.ticks();
      await new Promise((r) => setTimeout(r, 20000));
      return ((window.vexlor.ticks() - n0) * 1000) / (performance.now() - t0);
    });
    console.log(`${rate.toFixed(2)} ticks a second over 20 s`);
    if (Math.abs(rate - 40) > 0.5) fail(`${rate.toFixed(2)} ticks a second`);
  },
};

if (!checks[check]) {
  console.error(`usage: node browser.test.mjs PAGE_DIR (${Object.keys(checks).join('|')})`);
  process.exit(2);
}
const server = await servePage(pageDir);
const { browser, close } = await launchBrowser();
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
