// The game's window in a web page: the browser's part only. The board module decides what each
// event means, what it changes and how the board looks; this script hands it the page's events and
// lends it a canvas, the two captions and a message box.
const $ = id => document.getElementById(id);
const design = JSON.parse($('Design').textContent);
const Form1 = $('Form1'), Board = $('Board'), SizeScroll = $('SizeScroll');
const SizeOf = $('SizeOf'), Number = $('Number'), Test = $('Test'), MessageBox = $('MessageBox');
const context = Board.getContext('2d', {alpha: false});
const decoder = new TextDecoder();
let ratio = 1; // device pixels to a layout pixel, as the board was last painted
let sizeValue = design.SizeScroll.value;

const text = (at, length) => decoder.decode(new Uint8Array(game.memory.buffer, at, length));
const colour = (red, green, blue) => `rgb(${red} ${green} ${blue})`;

// What the board module asks of the page, in device pixels of the canvas.
const page = {
  fillRect(left, top, width, height, red, green, blue) {
    context.fillStyle = colour(red, green, blue);
    context.fillRect(left, top, width, height);
  },
  fillDisc(left, top, width, height, red, green, blue) {
    context.fillStyle = colour(red, green, blue);
    context.beginPath();
    context.ellipse(left + width / 2, top + height / 2, width / 2, height / 2, 0, 0, 2 * Math.PI);
    context.fill();
  },
  setBoardPixels(side) {
    Board.width = Board.height = side;
  },
  setSizeCaption(at, length) {
    SizeOf.textContent = text(at, length);
  },
  setCountCaption(at, length) {
    Number.textContent = text(at, length);
  },
  setBoardDescription(at, length) {
    Board.setAttribute('aria-description', text(at, length));
  },
  showMessageBox(title, titleLength, message, messageLength, icon, iconLength) {
    $('MessageTitle').textContent = text(title, titleLength);
    $('MessageText').textContent = text(message, messageLength);
    MessageBox.dataset.icon = text(icon, iconLength);
    MessageBox.showModal();
  },
};
// The module's only other call out is to stop, on a fault that leaves it no way on.
const imports = {page, wasi_snapshot_preview1: {proc_exit: code => { throw new Error(`the board stopped (${code})`); }}};

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

function Form_Load() {
  loadpieces();
  showScrollValue();
  Form1.hidden = false;
  SizeScroll.focus();
}

// The canvas has no cells to create: the board only needs painting at the screen's density.
function loadpieces() {
  ratio = window.devicePixelRatio || 1;
  game.showWindow(ratio);
}

function SizeScroll_Change() {
  game.sizeChanged(sizeValue);
}

function Test_Click() {
  game.checkClicked();
}

// The board's mouse: every press on the window and every release anywhere goes to the board,
// which plays a release on the cell under it if the press was on the board too.
const gameButton = event => [1, 4, 2][event.button] ?? 0;
function clientPoint(event) {
  // While the message box is open the release is the box's: the window sees it nowhere.
  if (MessageBox.open)
    return [-1, -1];
  const area = Form1.getBoundingClientRect();
  return [(event.clientX - area.left) * ratio, (event.clientY - area.top) * ratio];
}
function Square_MouseUp(event) {
  game.buttonReleased(gameButton(event), ...clientPoint(event));
}
Form1.addEventListener('mousedown', event => game.buttonPressed(gameButton(event), ...clientPoint(event)));
window.addEventListener('mouseup', Square_MouseUp);
Board.addEventListener('contextmenu', event => event.preventDefault());

// The scroll bar: its range from the design, every way of moving it one step, a drag only on
// release. The style sheet places the thumb along its track from the fraction, so that showing a
// value needs no layout to be worked out first, at start-up least of all.
const minSize = design.SizeScroll.minimum, maxSize = design.SizeScroll.maximum;
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

// Zooming or moving to another screen changes the density: the board is painted anew for it.
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
