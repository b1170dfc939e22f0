// The game's window in a web page: lays itself out from the board module's design, turns each
// event into one call of the board, and redraws what the board says changed.
// The board's only call out is to stop, on a fault that leaves it no way on.
const imports = {wasi_snapshot_preview1: {proc_exit: code => { throw new Error(`the board stopped (${code})`); }}};

// Compiled while it downloads; a host that serves it under another type gets it compiled after.
async function loadBoard() {
  try {
    return await WebAssembly.instantiateStreaming(fetch('board.wasm'), imports);
  } catch {
    return WebAssembly.instantiate(await (await fetch('board.wasm')).arrayBuffer(), imports);
  }
}

const game = (await loadBoard()).instance.exports;
game._initialize();
// The board's memory never grows, so these views of it stay valid.
const bytes = new Uint8Array(game.memory.buffer), words = new Int32Array(game.memory.buffer);
const decoder = new TextDecoder();
const text = pointer => decoder.decode(bytes.subarray(pointer, bytes.indexOf(0, pointer)));
const css = rgb => '#' + rgb.toString(16).padStart(6, '0');
const $ = id => document.getElementById(id);

const Form1 = $('Form1'), Board = $('Board'), SizeScroll = $('SizeScroll');
const SizeOf = $('SizeOf'), Number = $('Number'), Test = $('Test'), MessageBox = $('MessageBox');
const context = Board.getContext('2d', {alpha: false});
const minSize = game.sizeLimit(0), maxSize = game.sizeLimit(1);
let ratio = 1;
let sizeValue = maxSize;

function placeControl(element, id) {
  const [left, top, width, height] = [0, 1, 2, 3].map(i => game.controlRect(id, i));
  Object.assign(element.style, {left: left + 'px', top: top + 'px', width: width + 'px', height: height + 'px'});
}

// Everything the design module fixes: window, positions, colours, fonts and texts.
function layOutWindow() {
  document.title = text(game.designText(0));
  Object.assign(Form1.style, {width: game.windowSide(0) + 'px', height: game.windowSide(1) + 'px',
                              background: css(game.designRgb(0))});
  [SizeScroll, SizeOf, Number, Test].forEach(placeControl);
  SizeOf.style.background = css(game.designRgb(4));
  Number.style.background = 'ButtonFace';
  Test.style.background = css(game.designRgb(3));
  [SizeOf, Number, Test].forEach((element, id) => { element.style.font = text(game.designFont(id)); });
  Test.textContent = text(game.designText(1));
  SizeScroll.setAttribute('aria-label', text(game.designText(2)));
  SizeOf.setAttribute('aria-description', text(game.designText(3)));
  Number.setAttribute('aria-description', text(game.designText(4)));
  Board.setAttribute('aria-label', text(game.designText(5)));
  SizeScroll.setAttribute('aria-valuemin', minSize);
  SizeScroll.setAttribute('aria-valuemax', maxSize);
}

// Colours as the canvas takes them, made once.
const styles = new Map();
function style(rgb) {
  if (!styles.has(rgb))
    styles.set(rgb, css(rgb));
  return styles.get(rgb);
}

// A cell and its chip, in whole device pixels; the cell's own rectangle is painted over fully.
function paintCell(k) {
  const at = game.cellDrawing(k, ratio) >> 2, d = words.subarray(at, at + 13);
  if (d[2] <= 0)
    return;
  context.fillStyle = style(game.designRgb(2));
  context.fillRect(d[0], d[1], d[2], d[3]);
  context.fillStyle = style(d[12]);
  context.fillRect(d[4], d[5], d[6], d[7]);
  if (d[10] <= 0)
    return;
  context.fillStyle = style(game.designRgb(1));
  context.beginPath();
  context.ellipse(d[8] + d[10] / 2, d[9] + d[11] / 2, d[10] / 2, d[11] / 2, 0, 0, 2 * Math.PI);
  context.fill();
}

function paintBoard() {
  const side = game.deviceBoardSide(ratio);
  if (Board.width !== side)
    Board.width = Board.height = side;
  const size = game.boardSize();
  for (let x = 0; x < size; ++x)
    for (let y = 0; y < size; ++y)
      paintCell(x * maxSize + y);
}

function refreshControls(refresh) {
  if (refresh & 1 << 11)
    SizeOf.textContent = text(game.sizeCaption());
  if (refresh & 1 << 12)
    Number.textContent = text(game.countCaption());
  if (refresh & 1 << 10)
    paintBoard();
  else if (refresh & 0x3ff)
    paintCell((refresh & 0x3ff) - 1);
  if (refresh)
    Board.setAttribute('aria-description', text(game.boardText()));
}

function Form_Load() {
  layOutWindow();
  loadpieces();
  showScrollValue();
  Form1.hidden = false;
  SizeScroll.focus();
}

// The canvas has no cells to create: the fresh board only needs drawing at the screen's density.
function loadpieces() {
  ratio = window.devicePixelRatio || 1;
  refreshControls(game.wholeWindow());
}

function SizeScroll_Change() {
  refreshControls(game.changeSizeTo(sizeValue));
}

function Square_MouseUp(Index, Button) {
  refreshControls(game.releaseButtonOn(Index, Button));
}

function Test_Click() {
  const information = game.runCheck();
  $('MessageTitle').textContent = text(game.checkTitle());
  $('MessageText').textContent = text(game.checkText());
  MessageBox.dataset.icon = information ? 'information' : 'critical';
  MessageBox.showModal();
}

// The scroll bar: 25 at its right end, every way of moving it one step, a drag only on release.
// The style sheet places the thumb along its track from the fraction, so that showing a value
// needs no layout to be worked out first, at start-up least of all.
function showScrollValue(thumbValue = sizeValue) {
  SizeScroll.setAttribute('aria-valuenow', sizeValue);
  const thumb = SizeScroll.querySelector('.thumb');
  thumb.style.setProperty('--along', (thumbValue - minSize) / (maxSize - minSize));
}

function setScrollValue(value) {
  value = Math.min(maxSize, Math.max(minSize, value));
  if (value !== sizeValue) {
    sizeValue = value;
    SizeScroll_Change();
  }
  showScrollValue();
}

function valueUnderPointer(event, grabbedAt) {
  const track = SizeScroll.querySelector('.track'), thumb = track.firstElementChild;
  const travel = track.clientWidth - thumb.offsetWidth;
  const position = event.clientX - track.getBoundingClientRect().left - grabbedAt;
  return minSize + Math.round(Math.min(1, Math.max(0, position / travel)) * (maxSize - minSize));
}

function startDrag(event, thumb) {
  const grabbedAt = event.clientX - thumb.getBoundingClientRect().left;
  thumb.setPointerCapture(event.pointerId);
  thumb.onpointermove = move => showScrollValue(valueUnderPointer(move, grabbedAt));
  thumb.onpointerup = thumb.onpointercancel = up => {
    thumb.onpointermove = thumb.onpointerup = thumb.onpointercancel = null;
    setScrollValue(up.type === 'pointerup' ? valueUnderPointer(up, grabbedAt) : sizeValue);
  };
}

SizeScroll.addEventListener('pointerdown', event => {
  if (event.button !== 0)
    return;
  const target = event.target;
  if (target.classList.contains('thumb'))
    startDrag(event, target);
  else if (target.classList.contains('arrow'))
    setScrollValue(sizeValue + parseInt(target.dataset.step, 10));
  else if (target.classList.contains('track'))
    setScrollValue(sizeValue + (event.clientX < target.firstElementChild.getBoundingClientRect().left ? -1 : 1));
});

const keySteps = {ArrowLeft: -1, ArrowUp: -1, PageUp: -1, ArrowRight: 1, ArrowDown: 1, PageDown: 1};
SizeScroll.addEventListener('keydown', event => {
  if (event.key in keySteps)
    setScrollValue(sizeValue + keySteps[event.key]);
  else if (event.key === 'Home')
    setScrollValue(minSize);
  else if (event.key === 'End')
    setScrollValue(maxSize);
  else
    return;
  event.preventDefault();
});

// A release counts on the cell under the pointer, as long as the press was on the board too.
const buttonNumbers = [1, 4, 2];
const pressedOnBoard = new Set();
Board.addEventListener('mousedown', event => pressedOnBoard.add(event.button));
window.addEventListener('mouseup', event => {
  const pressed = pressedOnBoard.delete(event.button);
  if (!pressed || event.target !== Board || MessageBox.open)
    return;
  const k = game.cellAtPoint(event.offsetX, event.offsetY, ratio);
  const button = buttonNumbers[event.button] ?? 0;
  if (k >= 0 && button)
    Square_MouseUp(k, button);
});
Board.addEventListener('contextmenu', event => event.preventDefault());
// Only the two controls take the focus: a click elsewhere in the window leaves it where it was,
// and a click beside the open message box leaves it on the box's button.
Form1.addEventListener('mousedown', event => {
  if (!SizeScroll.contains(event.target) && event.target !== Test)
    event.preventDefault();
});
MessageBox.addEventListener('mousedown', event => {
  if (event.target === MessageBox)
    event.preventDefault();
});
Test.addEventListener('click', Test_Click);

// The window's tab order is a ring of its two controls, as in a desktop window.
function tabTo(event, from, to) {
  if (event.key === 'Tab' && event.target === from && event.shiftKey === (from === SizeScroll)) {
    to.focus();
    event.preventDefault();
  }
}
Test.addEventListener('keydown', event => tabTo(event, Test, SizeScroll));
SizeScroll.addEventListener('keydown', event => tabTo(event, SizeScroll, Test));

// Zooming or moving to another screen changes the density: the board is drawn anew for it.
function followDensity() {
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
    loadpieces();
    followDensity();
  }, {once: true});
}

Form_Load();
followDensity();
if ('serviceWorker' in navigator)
  navigator.serviceWorker.register('sw.js').catch(() => {});
