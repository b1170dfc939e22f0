// The page in each look a player's system may ask for, switched while a game is in progress, in
// Debian's Chromium: forced colours with a light and a dark palette and more contrast, emulated
// through the DevTools protocol. Each look is measured on screenshots with WCAG's contrast ratio:
// a chip, a mark and the grid's lines against an empty cell at 3:1 at least, the captions' text
// against their background at 4.5:1, the scroll bar's thumb against its track at 3:1; under forced
// colours an empty cell in the palette's window colour, as the rest of the window; with no
// setting the colours are exactly the designed ones. Prints the ratios measured in each look.
//
//   node contrast_test.mjs SITE_DIR
import {decodePng, openGame, runTest} from './page_harness.mjs';
import assert from 'node:assert/strict';

const [siteDir] = process.argv.slice(2);

// WCAG 2.2's relative luminance of an sRGB colour, and the contrast ratio of two, 1 to 21.
function luminance(rgb) {
  const [r, g, b] = rgb.map(c => c / 255).map(v => v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4);
  return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}
function contrast(a, b) {
  const [high, low] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (high + 0.05) / (low + 0.05);
}

const looks = {
  'as designed': [],
  'more contrast': [{name: 'prefers-contrast', value: 'more'}],
  'forced colours, light': [{name: 'forced-colors', value: 'active'}, {name: 'prefers-color-scheme', value: 'light'}],
  'forced colours, dark': [{name: 'forced-colors', value: 'active'}, {name: 'prefers-color-scheme', value: 'dark'}],
};

// The text of a caption against its background: the background is its corner's colour, the text
// the colour inside it that stands out from that the most.
function captionContrast(image, [left, top, width, height]) {
  const background = image.pixel(left + 2, top + 2);
  let best = 1;
  for (let y = top + 2; y < top + height - 2; ++y)
    for (let x = left + 2; x < left + width - 2; ++x)
      best = Math.max(best, contrast(image.pixel(x, y), background));
  return best;
}

async function measure(page) {
  const image = decodePng(await page.screenshot());
  // Cell (0, 0) holds a chip, (1, 0) a mark, (2, 0) nothing; cells are 24 pixels, with a one-pixel
  // border at their left and top.
  const empty = image.pixel(60, 12);
  const thumb = await page.locator('#SizeScroll .thumb').boundingBox();
  const track = await page.locator('#SizeScroll .track').boundingBox();
  return {
    // The window around the side controls, clear of them.
    window: image.pixel(644, 60),
    colours: {empty, chip: image.pixel(12, 12), mark: image.pixel(36, 12), grid: image.pixel(48, 12)},
    ratios: {
      chip: contrast(image.pixel(12, 12), empty),
      mark: contrast(image.pixel(36, 12), empty),
      grid: contrast(image.pixel(48, 12), empty),
      'size caption': captionContrast(image, [600, 144, 89, 25]),
      'count caption': captionContrast(image, [600, 272, 89, 49]),
      thumb: contrast(image.pixel(Math.floor(thumb.x + thumb.width / 2), Math.floor(thumb.y + thumb.height / 2)),
                      image.pixel(Math.floor(track.x + 4), Math.floor(track.y + track.height / 2))),
    },
  };
}

runTest(siteDir, 'contrast', async ({browser, base}) => {
  const {page, problems} = await openGame(browser, base);
  const session = await page.context().newCDPSession(page);
  // A game in progress, which no change of look may lose.
  await page.mouse.click(12, 12);
  await page.mouse.click(36, 12, {button: 'right'});
  const measured = {};
  // Each look in turn from the last, and back to the designed one at the end.
  for (const [name, features] of [...Object.entries(looks), ['as designed again', []]]) {
    await session.send('Emulation.setEmulatedMedia', {features});
    // The board is repainted as the browser tells the page of the change.
    await page.evaluate(() => new Promise(resolve => requestAnimationFrame(() => setTimeout(resolve))));
    const {window, colours, ratios} = measured[name] = await measure(page);
    assert.equal(await page.textContent('#Number'), ' 1 Chips ', `the game goes on in ${name}`);
    if (name.startsWith('as designed')) {
      assert.deepEqual(colours, {empty: [255, 255, 255], chip: [192, 64, 0], mark: [255, 255, 0], grid: [0, 0, 0]},
                       `the designed colours ${name}`);
      continue;
    }
    // The player's palette is the whole window's, the board's too: a dark one gives a dark board.
    if (name.startsWith('forced'))
      assert.deepEqual(colours.empty, window, `an empty cell in the window's colour in ${name}`);
    for (const part of ['chip', 'mark', 'grid', 'thumb'])
      assert.ok(ratios[part] >= 3, `${part} at ${ratios[part].toFixed(2)}:1 in ${name}`);
    for (const part of ['size caption', 'count caption'])
      assert.ok(ratios[part] >= 4.5, `${part} at ${ratios[part].toFixed(2)}:1 in ${name}`);
  }
  for (const [name, {ratios}] of Object.entries(measured))
    console.log(`${name}: ` + Object.entries(ratios).map(([part, r]) => `${part} ${r.toFixed(2)}`).join(', '));
  return problems;
});
