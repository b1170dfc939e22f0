// What the page's tests and its start-up bench share: a loopback host for the site, Debian's
// Chromium, a watched page of the game, and the pixels of its screenshots.
import {chromium} from 'playwright-core';
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

// The site is served under a folder of the host, as a static host may well serve it.
export const SubPath = '/games/vir-urad-izuva/';
const types = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
               '.wasm': 'application/wasm', '.svg': 'image/svg+xml', '.png': 'image/png',
               '.webmanifest': 'application/manifest+json'};

// Serves `siteDir` on loopback; `extra` maps a name to a file of the caller's {type, body},
// served in place of the site's file of that name or beside it, or to {held}, a promise until
// which the site's own file of that name is held back; `headers` go with every response.
// Resolves to the server and the address of the site's folder.
export async function serve(siteDir, extra = new Map(), headers = {}) {
  const root = path.resolve(siteDir);
  const server = http.createServer(async (request, response) => {
    const pathname = new URL(request.url, 'http://host').pathname;
    const name = pathname.startsWith(SubPath) ? pathname.slice(SubPath.length) || 'index.html' : null;
    const file = name && path.resolve(root, name);
    const {held, ...own} = extra.get(name) ?? {};
    await held;
    if (!own.body && (!file || !file.startsWith(root + path.sep) || !fs.existsSync(file))) {
      response.writeHead(404).end();
      return;
    }
    const type = own.type ?? types[path.extname(file)] ?? 'application/octet-stream';
    const body = own.body ?? fs.readFileSync(file);
    // Compressed where the browser takes it, as static hosts serve text, but for images that are
    // compressed already.
    const gzip = !type.startsWith('image/png') && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
    response.writeHead(200, {...headers, 'Content-Type': type, 'Cache-Control': 'no-cache',
                             ...(gzip ? {'Content-Encoding': 'gzip', 'Vary': 'Accept-Encoding'} : {})});
    response.end(gzip ? zlib.gzipSync(body) : body);
  });
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  return {server, base: `http://127.0.0.1:${server.address().port}${SubPath}`};
}

// `args` and `env` add to the browser's own command line and environment; `headless` false shows
// its windows on the display in `env`, for a screen reader that follows the active window.
export function launch({args = [], env, headless = true} = {}) {
  return chromium.launch({executablePath, headless, args: browserArgs(headless, args), ...(env ? {env} : {})});
}

const executablePath = '/usr/bin/chromium';
const browserArgs = (headless, args) =>
  [...(headless ? ['--headless'] : []), '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
   '--disable-background-networking', '--disable-component-update', '--disable-sync', ...args];

// A browser window on the display in `env` that opens `base` as it starts, as a launcher or a link
// in another program opens the game, with its profile in `profileDir`; resolves to the game's
// page there, watched from then on as openGame watches it, with a `close` that resolves once
// every process of the browser has ended, and has stopped writing to the profile.
export async function openWindowAt(base, profileDir, {args = [], env} = {}) {
  // In a process group of its own, which its helper processes share.
  const browserProcess = spawn(executablePath, [...browserArgs(false, args), `--user-data-dir=${profileDir}`,
                                                '--remote-debugging-port=0', base],
                               {env, stdio: 'ignore', detached: true});
  const ended = new Promise(resolve => browserProcess.on('exit', resolve));
  const close = async () => {
    try {
      process.kill(-browserProcess.pid, 'SIGTERM');
    } catch {
      // Ended already.
    }
    await ended;
    while (groupRuns(browserProcess.pid))
      await new Promise(resolve => setTimeout(resolve, 50));
  };
  try {
    // The browser writes the port it took into its profile.
    const portFile = path.join(profileDir, 'DevToolsActivePort');
    while (!fs.existsSync(portFile) || !fs.readFileSync(portFile, 'utf8').includes('\n')) {
      if (browserProcess.exitCode !== null)
        throw new Error(`the browser ended with status ${browserProcess.exitCode}`);
      await new Promise(resolve => setTimeout(resolve, 50));
    }
    const port = fs.readFileSync(portFile, 'utf8').split('\n')[0];
    const browser = await chromium.connectOverCDP(`http://127.0.0.1:${port}`);
    const [context] = browser.contexts();
    // The window's one tab, which may not have reached the game yet.
    const page = context.pages()[0] ?? await context.waitForEvent('page');
    return {page, problems: watch(context, page, base), close};
  } catch (error) {
    await close();
    throw error;
  }
}

// Whether a process of the process group `group` still runs: the browser's helpers may outlive
// it a moment, and one of them writes the profile's storage as it ends.
function groupRuns(group) {
  return fs.readdirSync('/proc').filter(name => /^\d+$/.test(name)).some(pid => {
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
    } catch {
      return false;  // ended meanwhile
    }
    const [state, , processGroup] = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    return Number(processGroup) === group && state !== 'Z';
  });
}

// Console errors on `page` and requests that leave `base`, as they come.
function watch(context, page, base) {
  const problems = [];
  context.on('request', request => {
    if (!request.url().startsWith(base))
      problems.push('request outside the page: ' + request.url());
  });
  page.on('console', message => {
    if (message.type() === 'error')
      problems.push('console error: ' + message.text());
  });
  page.on('pageerror', error => problems.push('page error: ' + error.message));
  return problems;
}

// Screens the page is played on, in CSS pixels and device pixels to a CSS pixel; a phone or a
// tablet is a touch screen with a mobile browser's viewport.
export const Screens = {
  'phone portrait': {width: 390, height: 844, ratio: 3, mobile: true},
  'phone landscape': {width: 844, height: 390, ratio: 3, mobile: true},
  'tablet': {width: 820, height: 1180, ratio: 2, mobile: true},
  'desktop': {width: 1280, height: 800, ratio: 1, mobile: false},
};

// Resolves once the board's own picture has replaced the page's picture of the start board.
export const boardReady = page => page.waitForSelector('#StartBoard', {state: 'detached'});

// A page of the game, watched for console errors and for requests that leave the page's folder,
// by default in a desktop window of the window's own size; `ready` false returns it as soon as
// the window shows, before the board has loaded; `init` runs in the page ahead of its own script
// at every load.
export async function openGame(browser, base, {ratio = 1, width = 688, height = 600, mobile = false, ready = true,
                                               init} = {}) {
  const context = await browser.newContext({viewport: {width, height}, deviceScaleFactor: ratio,
                                            isMobile: mobile, hasTouch: mobile});
  if (init)
    await context.addInitScript(init);
  const page = await context.newPage();
  const problems = watch(context, page, base);
  await page.goto(base, {waitUntil: 'commit'});
  await page.waitForSelector('#Form1');
  if (ready)
    await boardReady(page);
  return {context, page, problems};
}

// The colours [red, green, blue] of a screenshot's device pixels at [x, y].
export async function screenshotPixels(page, points) {
  const image = decodePng(await page.screenshot());
  return points.map(([x, y]) => image.pixel(Math.floor(x), Math.floor(y)));
}

// Chromium's screenshots, and the site's icons: 8-bit RGB or RGBA, not interlaced.
export function decodePng(png) {
  let width = 0, height = 0, channels = 0;
  const data = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at), type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      [width, height] = [body.readUInt32BE(0), body.readUInt32BE(4)];
      channels = {2: 3, 6: 4}[body[9]];
      if (body[8] !== 8 || !channels || body[12] !== 0)
        throw new Error('a screenshot in a PNG format this test does not read');
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data)), stride = width * channels;
  const pixels = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)], line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? pixels[y * stride + i - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
      const c = y > 0 && i >= channels ? pixels[(y - 1) * stride + i - channels] : 0;
      const predictor = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
      pixels[y * stride + i] = (line[i] + predictor) & 0xff;
    }
  }
  return {width, height, pixel: (x, y) => Array.from(pixels.subarray(y * stride + x * channels, y * stride + x * channels + 3))};
}

function paeth(a, b, c) {
  const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Runs one test program's body with a host and a browser, and ends the process with its verdict:
// the body returns the problems it saw, and any problem or failed check fails it. It gets the
// browser, the site's address, its server, and the server's map of files in place of the site's;
// `browserOptions` go to launch.
export async function runTest(siteDir, name, body, browserOptions = {}) {
  const extra = new Map();
  const {server, base} = await serve(siteDir, extra);
  const browser = await launch(browserOptions);
  let status = 0;
  try {
    const problems = await body({browser, base, server, extra});
    if (problems.length)
      throw new Error('requests left the page or errors reached the console:\n' + problems.join('\n'));
    console.log(`${name}: passed`);
  } catch (error) {
    console.error(error);
    status = 1;
  } finally {
    await browser.close();
    server.close();
  }
  process.exit(status);
}
