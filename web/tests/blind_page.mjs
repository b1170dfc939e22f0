// The page in Debian's headless Chromium for blind_play_page.py: real keys and clicks, and what
// only the screen shows. It serves the site, opens the game at FIT times the window's size, writes
// "ready" once the board's table for screen readers is built, then answers one request a line:
//
//   key NAME | hold NAME | click BUTTON X Y    (X, Y in the window's layout pixels) -> "done"
//   ring SIZE  -> the cell "x y" whose focus ring shows on a board of SIZE, "none", or "many"
//   boxes      -> how many message boxes opened since the last "boxes"
//
// and closes everything when its input ends, failing if the page had console errors or made
// requests outside its folder.
//
//   node blind_page.mjs SITE_DIR FIT
import {openGame, runTest, screenshotPixels} from './page_harness.mjs';
import readline from 'node:readline';

const [siteDir, fitArg] = process.argv.slice(2);
const fit = parseFloat(fitArg ?? '1');
// Key names as X names them in the table, as Chromium's input names them.
const keys = {Left: 'ArrowLeft', Right: 'ArrowRight', Up: 'ArrowUp', Down: 'ArrowDown', space: 'Space',
              Return: 'Enter', 'Ctrl+': 'Control+'};
const keyName = name => name.replace(/Ctrl\+|Left|Right|Up|Down|space|Return/g, k => keys[k]);

// The browser reaches the test's own accessibility bus through the session bus alone.
const env = {...process.env, ACCESSIBILITY_ENABLED: '1'};
for (const name of ['DISPLAY', 'WAYLAND_DISPLAY', 'AT_SPI_BUS_ADDRESS'])
  delete env[name];

async function serveRequests(page) {
  const at = (x, y) => [x * fit, y * fit];
  const requests = {
    async key(name) {
      await page.keyboard.press(keyName(name));
    },
    // Chromium's own keyboard repeats a held key about thirty times a second.
    async hold(name) {
      await page.keyboard.down(keyName(name));
      for (let i = 0; i < 45; ++i) {
        await new Promise(resolve => setTimeout(resolve, 33));
        await page.keyboard.down(keyName(name));
      }
      await page.keyboard.up(keyName(name));
    },
    async click(button, x, y) {
      await page.mouse.move(...at(Number(x), Number(y)));
      await page.mouse.down({button});
      await page.mouse.up({button});
    },
    // The ring lies 3 pixels inside a cell's left edge, half way down: dark there, where a cell
    // is otherwise its own colour.
    async ring(size) {
      const side = 600 / size, places = [];
      for (let y = 0; y < size; ++y)
        for (let x = 0; x < size; ++x)
          places.push([x, y]);
      const pixels = await screenshotPixels(page, places.map(([x, y]) => at(x * side + 3, (y + 0.5) * side)));
      const ringed = places.filter((_, i) => pixels[i].every(c => c < 64));
      return ringed.length === 1 ? ringed[0].join(' ') : ringed.length ? 'many' : 'none';
    },
    boxes: () => page.evaluate(() => window.boxesOpened.splice(0).length),
  };
  // Each box the page opens, counted as it opens.
  await page.evaluate(() => {
    window.boxesOpened = [];
    new MutationObserver(() => document.getElementById('MessageBox').open && window.boxesOpened.push(1))
      .observe(document.getElementById('MessageBox'), {attributes: true, attributeFilter: ['open']});
  });
  console.log('ready');
  for await (const line of readline.createInterface({input: process.stdin})) {
    const [request, ...args] = line.split(' ');
    console.log(String(await requests[request](...args) ?? 'done'));
  }
}

runTest(siteDir, 'the page for the blind player', async ({browser, base}) => {
  const {page, problems} = await openGame(browser, base, {width: 688 * fit, height: 600 * fit});
  await page.waitForFunction(() => document.querySelectorAll('#Cells [role=cell]').length === 625);
  await serveRequests(page);
  return problems;
}, {args: ['--force-renderer-accessibility'], env});
