// Text watermark background: the lines in the hidden .vl-mark box are drawn, tilted, on a
// small tile, and the tile repeats over a fixed layer behind the page.
(function () {
  const source = document.querySelector('.vl-mark:not([data-vl-ready])');
  if (!source) return;
  source.dataset.vlReady = '';
  // One watermark per page: a second pasted copy is left out.
  if (document.querySelector('.vl-mark-layer')) return;
  const lines = Array.from(source.querySelectorAll('span'))
    .map((line) => line.textContent.trim())
    .filter((text) => text !== '');
  if (lines.length === 0) return;

  const ratio = window.devicePixelRatio || 1;
  const size = 16;
  const font = `${size}px "${(source.dataset.font || '').replace(/"/g, '')}", sans-serif`;
  const pen = document.createElement('canvas').getContext('2d');
  pen.font = font;
  const wide = Math.max(...lines.map((text) => pen.measureText(text).width));
  const step = size * 1.6;
  // The tile leaves room around the tilted text so that the rows do not touch.
  const tileW = Math.ceil(wide + 120);
  const tileH = Math.ceil(step * lines.length + 100);
  const canvas = pen.canvas;
  canvas.width = tileW * ratio;
  canvas.height = tileH * ratio;
  pen.scale(ratio, ratio);
  pen.font = font;
  pen.textAlign = 'center';
  pen.textBaseline = 'middle';
  // A colour the browser does not know (such as the unset #0000000) leaves the grey.
  pen.fillStyle = '#808080';
  pen.fillStyle = source.dataset.color || '#808080';
  pen.globalAlpha = 0.18;
  pen.translate(tileW / 2, tileH / 2);
  pen.rotate(-Math.PI / 9);
  lines.forEach((text, k) => {
    pen.fillText(text, 0, (k - (lines.length - 1) / 2) * step);
  });

  const layer = document.createElement('div');
  layer.className = 'vl-mark-layer';
  layer.setAttribute('aria-hidden', 'true');
  Object.assign(layer.style, {
    position: 'fixed',
    inset: '0',
    zIndex: '-1',
    pointerEvents: 'none',
    backgroundImage: `url(${canvas.toDataURL()})`,
    backgroundSize: `${tileW}px ${tileH}px`
  });
  document.body.prepend(layer);
})();
