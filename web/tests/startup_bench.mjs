// Measures the web page in one Chromium run: the site's size gzipped, and how soon a phone shows
// the window against a static page of the same look, on a phone's screen at a phone's speed
// (Chromium's CPU throttling and network emulation, its cache off), the two pages loaded in turn
// and the medians reported. The static page is the game's own with no script at all: the same
// markup, style sheet and picture of the start board, the window placed where the game's page
// fits it on that screen. Both pages hold the whole start window in their markup, so the first
// paint with content in it is the whole window. It also reports when the game began to take input,
// and when the board had loaded and painted itself in place of the page's picture of it.
//
//   node startup_bench.mjs SITE_DIR [LOADS]
import {Screens, launch, serve} from './page_harness.mjs';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const [siteDir, loadsArg] = process.argv.slice(2);
const loads = parseInt(loadsArg ?? '5', 10);
const megabits = n => n * 1e6 / 8; // bytes a second
const profiles = {
  'mid-range phone, 4x CPU, 85 ms, 9 Mbit/s': {cpu: 4, latency: 85, down: megabits(9), up: megabits(9)},
  'slow phone, 6x CPU, slow 4G (150 ms, 1.6 Mbit/s)': {cpu: 6, latency: 150, down: megabits(1.6), up: megabits(0.75)},
};
const screen = Screens['phone portrait'];

let total = 0;
for (const name of fs.readdirSync(siteDir)) {
  const size = zlib.gzipSync(fs.readFileSync(path.join(siteDir, name)), {level: 9}).length;
  console.log(`  ${name.padEnd(24)} ${size} bytes gzipped`);
  total += size;
}
console.log(`site: ${(total / 1024).toFixed(1)} KB gzipped`);

const html = fs.readFileSync(path.join(siteDir, 'index.html'), 'utf8');
// The game's page with every script and the board's preload taken out, and the window's place
// written in as the game's page works it out for this screen.
function staticPage(fit) {
  const swaps = [[/<script[^>]*>[\s\S]*?<\/script>\n?/g, ''], [/<link rel="preload" href="board.wasm"[^>]*>\n/, ''],
                 ['<html lang="en">', `<html lang="en" style="${fit}">`]];
  return swaps.reduce((page, [from, to]) => {
    if (!page.match(from))
      throw new Error(`the game's page no longer has ${from}`);
    return page.replace(from, to);
  }, html);
}

const extra = new Map();
const {server, base} = await serve(siteDir, extra);
const browser = await launch();

// When the page began to take the player's input (its first pointer handler), and when the board
// replaced the page's picture of it, on the page's own clock.
function watch() {
  window.benchTimes = {};
  const listen = EventTarget.prototype.addEventListener;
  EventTarget.prototype.addEventListener = function (type, ...rest) {
    if (type.startsWith('pointer'))
      benchTimes.input ??= performance.now();
    return listen.call(this, type, ...rest);
  };
  let seen = false;
  new MutationObserver(() => {
    if (document.getElementById('StartBoard'))
      seen = true;
    else if (seen)
      benchTimes.ready ??= performance.now();
  }).observe(document, {childList: true, subtree: true});
}

// One load in a fresh context, so that nothing comes from a cache or a service worker.
async function load(url, profile) {
  const context = await browser.newContext({viewport: {width: screen.width, height: screen.height},
                                            deviceScaleFactor: screen.ratio, isMobile: true, hasTouch: true,
                                            serviceWorkers: 'block'});
  const page = await context.newPage();
  await page.addInitScript(watch);
  const session = await context.newCDPSession(page);
  await session.send('Network.enable');
  await session.send('Network.setCacheDisabled', {cacheDisabled: true});
  if (profile) {
    await session.send('Network.emulateNetworkConditions', {offline: false, latency: profile.latency,
                                                            downloadThroughput: profile.down, uploadThroughput: profile.up});
    await session.send('Emulation.setCPUThrottlingRate', {rate: profile.cpu});
  }
  await page.goto(url);
  const times = await page.evaluate(async game => {
    const fcp = await new Promise(resolve => new PerformanceObserver(list => {
      const paint = list.getEntriesByName('first-contentful-paint')[0];
      if (paint)
        resolve(paint.startTime);
    }).observe({type: 'paint', buffered: true}));
    while (game && !benchTimes.ready)
      await new Promise(resolve => setTimeout(resolve, 20));
    return {fcp, ...benchTimes, fit: document.documentElement.getAttribute('style')};
  }, url === base);
  await context.close();
  return times;
}

// The window's place on this screen, as the game's page works it out, for the static page.
extra.set('static.html', {type: 'text/html', body: staticPage((await load(base)).fit)});

const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = value => `${value.toFixed(0)} ms`;
for (const [name, profile] of Object.entries(profiles)) {
  await load(base, profile); // warms the browser's own start-up under this profile
  const game = [], plain = [];
  for (let i = 0; i < loads; ++i) {
    game.push(await load(base, profile));
    plain.push(await load(base + 'static.html', profile));
  }
  const [g, p] = [median(game.map(t => t.fcp)), median(plain.map(t => t.fcp))];
  const inputFirst = game.filter(t => t.input < t.fcp).length;
  console.log(`${name}, ${screen.width} x ${screen.height} at ${screen.ratio}, median of ${loads}:\n` +
              `  whole start window on the screen: game ${ms(g)}, static page ${ms(p)}, ratio ${(g / p).toFixed(2)}\n` +
              `  game takes input from ${ms(median(game.map(t => t.input)))} (before the first paint in ` +
              `${inputFirst} of ${loads} loads), board loaded and painted ${ms(median(game.map(t => t.ready)))}`);
}
await browser.close();
server.close();
