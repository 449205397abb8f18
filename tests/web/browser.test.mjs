// The browser edition in headless chromium: node browser.test.mjs PAGE_DIR CHECK.
// Each check opens the page served from 127.0.0.1, drives it with real key and mouse events
// and reads the arena from its canvas. The game itself is the native one, frame for frame
// (frames_native_vs_browser): these checks are about the page, so one key scene shows that
// the keys reach the game.
import { openGame, frame, sameFrame, waitFor, RED, DARK_YELLOW, WHITE, sleep, fail, ship, key, calmScene,
  runCheck } from './lib.mjs';

function columnHas(f, x, colour) {
  for (let y = 10; y < 46; y++) for (let dx = 0; dx < 24; dx++) if (f.at(x + dx, y) === colour) return true;
  return false;
}

const checks = {
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
    await waitFor('the arena to follow the window', async () => {
      const f = await frame(page);
      return f.width === 636 && f.height === box.height - 220 && columnHas(f, 10, WHITE);
    }, 3000);
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

  // The key scene: Enter fires, P pauses and resumes, Page Up adds the fourth ship. Ship 1
  // rests in full view, so that its bullets are seen.
  async keys(browser, url) {
    const { page } = await calmScene(browser, url);
    await page.keyboard.down('Enter');
    await waitFor('a bullet of ship 1 while Enter is held', async () => ship(await frame(page), RED).bullets > 0, 5000);
    await page.keyboard.up('Enter');
    await key(page, 'KeyP');
    await sleep(200);
    const a = await frame(page);
    await sleep(1000);
    if (!sameFrame(a, await frame(page))) fail('the arena moved while paused');
    await key(page, 'KeyP');
    await waitFor('the arena to move again', async () => !sameFrame(a, await frame(page)), 5000);
    await key(page, 'PageUp');
    await waitFor('a fourth column', async () => columnHas(await frame(page), 190, DARK_YELLOW), 3000);
  },

  async dialogs(browser, url) {
    const { page } = await openGame(browser, url);
    const shown = async (title, texts = []) => {
      const dialog = await waitFor(`the ${title} dialog`, () => page.$('.vx-dialog'), 3000);
      const seen = await dialog.$eval('.vx-title span', (e) => e.textContent);
      const statics = await dialog.$$eval('.vx-static', (els) => els.map((e) => e.textContent).join('\n'));
      if (seen !== title || texts.some((t) => !statics.includes(t))) fail(`dialog "${seen}" for ${title}: ${statics}`);
    };
    const closed = () => waitFor('the dialog to close', async () => !(await page.$('.vx-overlay')), 3000);
    const cases = [
      [['General'], 'General', ['- Fly your ship around and shoot others', '- There ARE different weapon classes']],
      [['Keys', 'Flight'], 'Keys', ['Keys:', 'NumPad5', 'Player 3:']],
      [['Keys', 'Control'], 'Control Keys', ['Toggle AI for ships 1-3 and sentry', 'PgUp/PgDown', 'Add/Remove ships']],
      [['About'], 'Vexlor', ['Vexlor v1.2']],
    ];
    for (const [path, title, texts] of cases) {
      // Through the Help menu with the mouse.
      await page.click('.vx-menutitle:nth-child(2)');
      for (const step of path) {
        const rows = await page.$$('.vx-menu .vx-menuitem');
        const names = await Promise.all(rows.map((row) => row.evaluate((e) => e.firstChild.textContent)));
        if (!names.includes(step)) fail(`no menu item ${step} in ${names}`);
        await rows[names.indexOf(step)].click();
      }
      await shown(title, texts);
      // Modal: the overlay covers the page, and the game goes on behind it.
      const before = await frame(page);
      await waitFor('the game to go on behind the dialog', async () => !sameFrame(before, await frame(page)), 3000);
      await page.click('.vx-button');
      await closed();
      await waitFor('the arena to have the keys back', () => page.evaluate(() => document.activeElement.tagName === 'CANVAS'), 3000);
    }
    const alt = async (code) => {
      await page.keyboard.down('AltLeft');
      await key(page, code);
      await page.keyboard.up('AltLeft');
    };
    // With the keys: Alt+H opens Help, K its Keys submenu, Enter its first item; Enter closes.
    await alt('KeyH');
    await waitFor('the Help menu', () => page.$('.vx-menu'), 3000);
    await key(page, 'KeyK');
    await waitFor('the Keys submenu', async () => (await page.$$('.vx-menu')).length === 2, 3000);
    await key(page, 'Enter');
    await shown('Keys');
    await key(page, 'Enter');
    await closed();
    // Alt+G opens Game, whose Exit is E&xit.
    await alt('KeyG');
    const game = await waitFor('the Game menu', () => page.$('.vx-menu'), 3000);
    const exit = await game.$eval('.vx-menuitem:last-child', (e) => e.firstChild.innerHTML);
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

  // Escape ends the game and stops its timer; the page's link starts it again, and the Game
  // menu's Exit ends that one.
  async exits(browser, url) {
    const { page } = await openGame(browser, url);
    const ended = () => waitFor('the end of the game', () => page.evaluate(() => document.body.textContent.includes('The game has ended.')), 3000);
    await key(page, 'Escape');
    await ended();
    const ticks = await page.evaluate(() => window.vexlor.ticks());
    if (await page.$('canvas')) fail('the arena stays after Escape');
    await sleep(300);
    if ((await page.evaluate(() => window.vexlor.ticks())) !== ticks) fail('the timer runs on after the end');
    await Promise.all([page.waitForNavigation(), page.click('.vx-ended a')]);
    await waitFor('a new game', () => page.evaluate(() => window.vexlor && window.vexlor.firstFrame() > 0));
    await page.click('.vx-menutitle:nth-child(1)');
    await waitFor('the Game menu', () => page.$('.vx-menu .vx-menuitem'), 3000);
    await (await page.$('.vx-menu .vx-menuitem:last-child')).click();
    await ended();
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

await runCheck(checks);
