// Thousands of random real inputs on the page in Chromium, and the game still plays true.
//
//   node monkey_test.mjs SITE_DIR [SEED]
//
// From a seeded generator it clicks both buttons and drags anywhere in the window, turns the
// wheel, presses the keys players and screen-reader users press (with and without Ctrl), and so
// opens and closes Check Me!'s box and changes the size. After every batch it closes a box left
// open and checks on a screenshot that every cell shows empty, a chip or a mark (a mark never
// holds a chip), that the chips shown are the number the count label gives, that the page still
// answers, and that nothing reached the console. A failure prints its seed; give that seed to
// replay the same inputs.
import {openGame, runTest, screenshotPixels} from './page_harness.mjs';

const [siteDir, seedArg] = process.argv.slice(2);
const seed = seedArg !== undefined ? Number(seedArg) : Math.floor(Math.random() * 2 ** 31);
const Batches = 20, Batch = 100, Width = 688, Height = 600;
// The side column's scroll bar and Check Me!, hit more often than their share of the window.
const ScrollBar = [600, 120, 89, 17], CheckMe = [600, 448, 89, 33];
const Keys = ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'PageUp', 'PageDown', 'Home', 'End',
              'Tab', 'Shift+Tab', 'Space', 'Enter', 'm', 'Escape', 'Control+ArrowLeft', 'Control+Space',
              'Control+m', 'a'];
const White = '255,255,255', Yellow = '255,255,0', Brown = '192,64,0';

// A small seeded generator (mulberry32): the same seed gives the same inputs.
function generator(state) {
  return () => {
    state = (state + 0x6d2b79f5) | 0;
    let t = Math.imul(state ^ (state >>> 15), 1 | state);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 2 ** 32;
  };
}

function monkey(page, random) {
  const pick = list => list[Math.floor(random() * list.length)];
  const point = ([left, top, width, height] = [0, 0, Width, Height]) =>
    [left + random() * width, top + random() * height];
  return async () => {
    const kind = random(), button = pick(['left', 'left', 'right']);
    if (kind < 0.35) {
      await page.mouse.click(...point(), {button});
    } else if (kind < 0.45) {
      await page.mouse.move(...point());
      await page.mouse.down({button});
      await page.mouse.move(...point());
      await page.mouse.up({button});
    } else if (kind < 0.55) {
      await page.mouse.move(...point());
      await page.mouse.wheel(0, pick([-100, 100]));
    } else if (kind < 0.9) {
      await page.keyboard.press(pick(Keys));
    } else {
      await page.mouse.click(...point(pick([ScrollBar, CheckMe])));
    }
  };
}

async function closeBoxes(page) {
  for (let tries = 0; tries < 10; ++tries) {
    if (!await page.evaluate(() => document.getElementById('MessageBox').open))
      return;
    await page.keyboard.press('Escape');
  }
  throw new Error('the message box does not close on Escape');
}

// What every cell shows, from its middle and a point 3 pixels inside its top-left corner.
async function check(page) {
  const [sizeText, count] = await page.evaluate(() => ['SizeOf', 'Number'].map(id => document.getElementById(id).textContent));
  const size = Number(/^(\d+)x\1$/.exec(sizeText)?.[1]);
  if (!size)
    throw new Error(`the size label says ${JSON.stringify(sizeText)}`);
  const side = 600 / size, points = [];
  for (let y = 0; y < size; ++y)
    for (let x = 0; x < size; ++x)
      points.push([(x + 0.5) * side, (y + 0.5) * side], [x * side + 3, y * side + 3]);
  const pixels = (await screenshotPixels(page, points)).map(String);
  let chips = 0;
  for (let k = 0; k < size * size; ++k) {
    const [middle, corner] = [pixels[2 * k], pixels[2 * k + 1]];
    const shows = corner === Yellow && middle === Yellow ? 'marked'
                  : corner === White && middle === White ? 'empty'
                  : corner === White && middle === Brown ? 'chip' : null;
    if (!shows)
      throw new Error(`cell (${k % size}, ${Math.floor(k / size)}) of ${sizeText} shows ${middle} in its middle, ${corner} in its corner`);
    chips += shows === 'chip';
  }
  if (count !== ` ${chips} Chips `)
    throw new Error(`the board shows ${chips} chips, the label says ${JSON.stringify(count)}`);
  return `${sizeText}, ${chips} chips`;
}

// Checks once the page has drawn what the last input asked: a reading that disagrees is read
// again until the page has had time to catch up.
async function settled(page) {
  const deadline = Date.now() + 10000;
  for (;;) {
    try {
      return await check(page);
    } catch (error) {
      if (Date.now() > deadline)
        throw error;
      await new Promise(resolve => setTimeout(resolve, 200));
    }
  }
}

console.log(`seed ${seed}`);
process.on('exit', status => status && console.error(`FAILED with seed ${seed}`));
runTest(siteDir, 'monkey', async ({browser, base}) => {
  const {page, problems} = await openGame(browser, base);
  const act = monkey(page, generator(seed));
  for (let batch = 1; batch <= Batches; ++batch) {
    for (let i = 0; i < Batch; ++i)
      await act();
    await closeBoxes(page);
    console.log(`batch ${batch}: ${await settled(page)}`);
  }
  return problems;
});
