// The browser edition's sound in headless chromium: node sound.test.mjs PAGE_DIR CHECK.
// autoplay: with autoplay allowed the audio runs at once; the master output sounds after a
// shot and is silent when muted with M, which the menu and local storage remember.
// gesture: with a gesture required the audio waits, saying so, until a key is pressed.
import { openGame, waitFor, sleep, fail, runCheck } from './lib.mjs';

const state = (page) => page.evaluate(() => window.vexlorSound.state());
const peak = (page) => page.evaluate(() => window.vexlorSound.peak());
// The notice's text while it shows, '' otherwise.
const NOTICE = "(n => n.hidden ? '' : n.textContent)(document.querySelector('.vx-sound-notice'))";
const notice = (page) => page.evaluate(NOTICE);

const press = (page, code) => page.keyboard.press(code, { delay: 80 });

const checks = {
  async autoplay(browser, url) {
    const { page, errors } = await openGame(browser, url);
    await waitFor('the audio to run without a gesture', async () => (await state(page)) === 'running', 5000);
    if (await notice(page)) fail('the sound notice shows while the audio runs');
    // Every ship and the sentry to the keyboard: only ship 1's shots sound from here.
    for (const k of ['F2', 'F3', 'F4']) await press(page, k);
    await waitFor('a quiet arena', async () => (await peak(page)) === 0, 15000, 100);
    await page.keyboard.down('Enter');
    const loud = await waitFor('sound after a shot', async () => (await peak(page)) || null, 3000, 20);
    await page.keyboard.up('Enter');
    console.log(`master peak after a shot: ${loud.toFixed(3)}`);
    if (loud > 0.8913) fail(`peak ${loud} above -1 dBFS`);
    await press(page, 'KeyM');
    await waitFor('silence when muted', async () => (await peak(page)) === 0, 3000, 20);
    await page.keyboard.down('Enter');
    for (let end = Date.now() + 1500; Date.now() < end; await sleep(50))
      if ((await peak(page)) !== 0) fail('sound while muted');
    await page.keyboard.up('Enter');
    const stored = await page.evaluate(() => window.localStorage.getItem('vexlor.sound'));
    if (stored !== 'false') fail(`local storage holds sound=${stored}`);
    await page.click('.vx-menutitle:nth-child(1)');
    await waitFor('the Game menu', () => page.$('.vx-menu .vx-menuitem'), 3000);
    const marks = await page.$$eval('.vx-menu .vx-menuitem', (rows) => rows.map((r) => r.getAttribute('aria-checked')));
    if (marks[0] !== 'false' || marks[1] !== 'false') fail(`Sound and palette marks ${marks}`);
    if (errors.length) fail(errors.join('; '));
  },

  // Puppeteer's own evaluate counts as a gesture: here the page is read through the
  // protocol without one.
  async gesture(browser, url) {
    const page = await browser.newPage();
    const cdp = await page.target().createCDPSession();
    const read = async (expression) =>
      (await cdp.send('Runtime.evaluate', { expression, returnByValue: true })).result.value;
    await page.goto(url);
    await waitFor('the first frame', () => read('window.vexlor && window.vexlor.firstFrame() > 0'));
    if ((await read('window.vexlorSound.state()')) === 'running') fail('the audio ran before a gesture');
    if ((await read(NOTICE)) !== 'press a key for sound') fail('no "press a key for sound" before a gesture');
    await press(page, 'KeyW');
    await waitFor('the audio to run after a key', async () => (await read('window.vexlorSound.state()')) === 'running', 3000);
    if (await read(NOTICE)) fail('the sound notice stays after the key');
  },
};

await runCheck(checks, (check) =>
  [`--autoplay-policy=${check === 'autoplay' ? 'no-user-gesture-required' : 'document-user-activation-required'}`]);
