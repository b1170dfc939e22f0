// Plays the game's one play-through on the web page in Debian's Chromium, with real mouse and
// keyboard input, and checks after every step what the table says the window shows: captions and
// the scroll bar's value as a screen reader gets them, the focus, the message box, and the cells
// by the pixels of a screenshot.
//
//   node play_through.mjs SITE_DIR TABLE [RATIO]     (RATIO: device pixels to a layout pixel)
import {openGame, runTest, screenshotPixels} from './page_harness.mjs';
import assert from 'node:assert/strict';
import fs from 'node:fs';

const [siteDir, tablePath, ratioArg] = process.argv.slice(2);
const ratio = parseFloat(ratioArg ?? '1');
const table = JSON.parse(fs.readFileSync(tablePath, 'utf8'));
const Brown = [192, 64, 0], White = [255, 255, 255], Yellow = [255, 255, 0];
const keys = {Left: 'ArrowLeft', Right: 'ArrowRight', Up: 'ArrowUp', Down: 'ArrowDown', PageUp: 'PageUp',
              PageDown: 'PageDown', Home: 'Home', End: 'End', Tab: 'Tab', 'Shift+Tab': 'Shift+Tab',
              Return: 'Enter'};
// One notch of a mouse wheel, as Chromium counts it.
const notches = {up: [0, -100], down: [0, 100], left: [-100, 0], right: [100, 0]};

// The middle of what a selector finds, in the page's pixels.
async function middleOf(page, selector) {
  const box = await page.locator(selector).boundingBox();
  return [box.x + box.width / 2, box.y + box.height / 2];
}

async function trackBeside(page, side) {
  const track = await page.locator('#SizeScroll .track').boundingBox();
  const thumb = await page.locator('#SizeScroll .thumb').boundingBox();
  const x = side === 'left' ? (track.x + thumb.x) / 2 : (thumb.x + thumb.width + track.x + track.width) / 2;
  return [x, track.y + track.height / 2];
}

// Where the page draws the places the table names by what they are.
const drawnPlaces = {
  "scroll bar's left arrow": page => middleOf(page, '#SizeScroll .arrow >> nth=0'),
  "scroll bar's right arrow": page => middleOf(page, '#SizeScroll .arrow >> nth=1'),
  "scroll bar's track left of the thumb": page => trackBeside(page, 'left'),
  "scroll bar's track right of the thumb": page => trackBeside(page, 'right'),
  "scroll bar's thumb": page => middleOf(page, '#SizeScroll .thumb'),
  "message box's OK": page => middleOf(page, '#MessageBox button'),
};

// The game as the table last said it is: the board's size, which places cells.
const game = {size: undefined};

function cellMiddle([x, y]) {
  assert.ok(game.size, 'a cell named before the table gives the board a size');
  const side = 600 / game.size;
  return [(x + 0.5) * side, (y + 0.5) * side];
}

// A place of the table in the page's pixels; the window's client area is the page's top left.
async function where(page, place) {
  if (Array.isArray(place))
    return cellMiddle(place);
  // A named pixel is an object; a name described in words is drawn by the page.
  const pixel = table.places[place]?.at;
  if (Array.isArray(pixel))
    return [pixel[0] + 0.5, pixel[1] + 0.5];
  assert.ok(drawnPlaces[place], `the table names a place this driver does not know: ${place}`);
  return drawnPlaces[place](page);
}

// What the window shows, read as a screen reader and a player get it.
function windowState() {
  const $ = id => document.getElementById(id);
  const box = $('MessageBox');
  const icons = [...box.querySelectorAll('.icon')].filter(icon => getComputedStyle(icon).display !== 'none');
  return {
    size: $('SizeOf').textContent, count: $('Number').textContent,
    scroll: parseInt($('SizeScroll').getAttribute('aria-valuenow'), 10),
    focus: document.activeElement.id || document.activeElement.outerHTML,
    box: box.open ? {title: $('MessageTitle').textContent, text: $('MessageText').textContent,
                     icon: icons.map(icon => [...icon.classList].find(name => name !== 'icon')).join(' ')}
                  : null,
  };
}

// A cell's middle is brown where it holds a chip; a point just inside its border is yellow where
// it is marked and white otherwise.
async function cellLooks(page, cells) {
  const points = [];
  for (const name of Object.keys(cells)) {
    const [x, y] = name.split(' ').map(Number), side = 600 / game.size;
    points.push(cellMiddle([x, y]).map(p => p * ratio), [(x * side + 3) * ratio, (y * side + 3) * ratio]);
  }
  const colours = await screenshotPixels(page, points);
  return Object.fromEntries(Object.keys(cells).map((name, i) => {
    const [middle, inside] = [colours[2 * i], colours[2 * i + 1]].map(c => c.join());
    const looks = middle === Brown.join() && inside === White.join() ? 'chip'
      : middle === White.join() && inside === White.join() ? 'empty'
      : middle === Yellow.join() && inside === Yellow.join() ? 'marked'
      : `middle ${middle}, inside the border ${inside}`;
    return [name, looks];
  }));
}

async function check(page, expected, when) {
  if (expected.size)
    game.size = parseInt(expected.size, 10);
  const shown = await page.evaluate(windowState);
  for (const [what, value] of Object.entries(expected)) {
    if (what === 'cells')
      assert.deepEqual(await cellLooks(page, value), value, `cells ${when}`);
    else
      assert.deepEqual(shown[what], value, `${what} ${when}`);
  }
}

async function play(page, [action, ...args], during) {
  const {mouse, keyboard} = page;
  if (action === 'key')
    return keyboard.press(keys[args[0]] ?? assert.fail(`no key ${args[0]}`));
  if (action === 'wheel') {
    const [direction, place] = args;
    await mouse.move(...await where(page, place));
    return mouse.wheel(...notches[direction]);
  }
  const [button, from, to] = args;
  await mouse.move(...await where(page, from));
  await mouse.down({button});
  if (action === 'drag') {
    await mouse.move(...await where(page, to), {steps: 5});
    if (during)
      await check(page, during, 'while the button is down');
  } else {
    assert.equal(action, 'click', `no action ${action}`);
  }
  await mouse.up({button});
}

runTest(siteDir, `play-through at ratio ${ratio}`, async ({browser, base}) => {
  const {page, problems} = await openGame(browser, base, {ratio});
  for (const [i, step] of table.steps.entries()) {
    const name = `step ${i + 1}` + (step.say ? ` (${step.say})` : '') + (step.do ? `: ${JSON.stringify(step.do)}` : '');
    if (step.do)
      await play(page, step.do, step.during);
    await check(page, step.expect, `after ${name}`);
    console.log(`${name} passed`);
  }
  return problems;
});
