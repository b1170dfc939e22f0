// Measures the web page in one Chromium run: the site's size gzipped, and how soon a phone shows
// the whole start window against a truly static page of the same look, on a phone's screen at a
// phone's speed (Chromium's CPU throttling and network emulation, its cache off), the two pages
// loaded in turn and the medians reported. The static page is built from the game's own page:
// its style sheet written into it, with no script and nothing else to fetch. A page shows the
// whole window at the first frame of its screencast that looks as the page does once settled.
// It also reports when the game began to take input, and when the board had loaded and painted
// itself in place of the page's picture of it.
//
//   node startup_bench.mjs SITE_DIR [LOADS]
import {Screens, decodePng, launch, serve} from './page_harness.mjs';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const [siteDir, loadsArg] = process.argv.slice(2);
const loads = parseInt(loadsArg ?? '7', 10);
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

// The game's page with its style sheet in it, its scripts, policy and links to other files taken
// out, and an icon of its own so that the browser fetches none.
function staticPage() {
  const css = fs.readFileSync(path.join(siteDir, 'style.css'), 'utf8');
  const swaps = [[/<meta http-equiv="Content-Security-Policy"[^>]*>\n/, ''],
                 [/<script[^>]*>[\s\S]*?<\/script>\n?/g, ''], [/<link [^>]*>\n/g, ''],
                 ['</head>', `<link rel="icon" href="data:,">\n<style>\n${css}</style>\n</head>`]];
  return swaps.reduce((page, [from, to]) => {
    if (!page.match(from))
      throw new Error(`the game's page no longer has ${from}`);
    return page.replace(from, to);
  }, fs.readFileSync(path.join(siteDir, 'index.html'), 'utf8'));
}

const extra = new Map([['static.html', {type: 'text/html', body: staticPage()}]]);
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

// How far apart two screencast frames are: the mean difference of their colour channels.
function distance(a, b) {
  let sum = 0;
  for (let y = 0; y < a.height; ++y)
    for (let x = 0; x < a.width; ++x) {
      const [p, q] = [a.pixel(x, y), b.pixel(x, y)];
      sum += Math.abs(p[0] - q[0]) + Math.abs(p[1] - q[1]) + Math.abs(p[2] - q[2]);
    }
  return sum / (3 * a.width * a.height);
}

// One load in a fresh context, so that nothing comes from a cache or a service worker, filmed
// from before the address is opened until the page has settled. `whole` is when the first frame
// that looks as the page then does came on the screen, on the page's own clock.
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
  const frames = [];
  session.on('Page.screencastFrame', ({data, metadata, sessionId}) => {
    frames.push({png: Buffer.from(data, 'base64'), time: metadata.timestamp * 1000});
    session.send('Page.screencastFrameAck', {sessionId}).catch(() => {});
  });
  await session.send('Page.startScreencast', {format: 'png', maxWidth: screen.width, maxHeight: screen.height});
  await page.goto(url, {waitUntil: 'load'});
  const times = await page.evaluate(async game => {
    while (game && !benchTimes.ready)
      await new Promise(resolve => setTimeout(resolve, 20));
    await new Promise(resolve => setTimeout(resolve, 500));
    return {origin: performance.timeOrigin, ...benchTimes};
  }, url === base);
  await session.send('Page.stopScreencast');
  await context.close();
  const settled = decodePng(frames.at(-1).png);
  const first = frames.find(frame => distance(decodePng(frame.png), settled) < 2);
  return {...times, whole: first.time - times.origin};
}

const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = value => `${value.toFixed(0)} ms`;
for (const [name, profile] of Object.entries(profiles)) {
  await load(base, profile); // warms the browser's own start-up under this profile
  const game = [], plain = [];
  for (let i = 0; i < loads; ++i) {
    game.push(await load(base, profile));
    plain.push(await load(base + 'static.html', profile));
  }
  const [g, p] = [median(game.map(t => t.whole)), median(plain.map(t => t.whole))];
  const inputFirst = game.filter(t => t.input < t.whole).length;
  console.log(`${name}, ${screen.width} x ${screen.height} at ${screen.ratio}, median of ${loads}:\n` +
              `  whole start window on the screen: game ${ms(g)}, static page ${ms(p)}, ratio ${(g / p).toFixed(2)}\n` +
              `  game takes input from ${ms(median(game.map(t => t.input)))} (before the first paint in ` +
              `${inputFirst} of ${loads} loads), board loaded and painted ${ms(median(game.map(t => t.ready)))}`);
}
await browser.close();
server.close();
