// The page in a window of Debian's Chromium on the display it is given, for orca_test.py: it
// serves the site, opens a window and writes the game's address on a line of its own for the
// player to type into the window's address bar, writes "ready" once the game has loaded there and
// its grid for screen readers is built, and closes everything when its input ends, saying what
// went wrong on the page meanwhile, if anything.
//
//   DISPLAY=... node orca_browser.mjs SITE_DIR
import {launch, openGame, serve} from './page_harness.mjs';
import readline from 'node:readline';

const [siteDir] = process.argv.slice(2);
const {server, base} = await serve(siteDir);
// A screen reader finds the browser's objects through the accessibility bus named on the session
// bus the test started, never through an address from outside it.
const env = {...process.env, ACCESSIBILITY_ENABLED: '1'};
for (const name of ['WAYLAND_DISPLAY', 'AT_SPI_BUS_ADDRESS'])
  delete env[name];
const browser = await launch({headless: false, args: ['--force-renderer-accessibility'], env});
let problems = [];
try {
  console.log(base);
  const game = await openGame(browser, base, {navigate: false});
  problems = game.problems;
  // The grid comes once the browser is idle after the board's loading: a cell for each square.
  await game.page.waitForFunction(() => document.querySelectorAll('#Cells [role=gridcell]').length === 625,
                                  undefined, {timeout: 0});
  console.log('ready');
  for await (const line of readline.createInterface({input: process.stdin}))
    void line;
} finally {
  await browser.close();
  server.close();
}
if (problems.length) {
  console.error(problems.join('\n'));
  process.exitCode = 1;
}
