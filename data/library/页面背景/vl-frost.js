// Frosted-glass page background: the picture in .vl-frost fills the window, blurred.
(function () {
  const layers = document.querySelectorAll('.vl-frost');
  const layer = layers[layers.length - 1];
  if (!layer || layer.dataset.vlReady !== undefined) return;
  layer.dataset.vlReady = '';
  // The first background pasted wins; later copies are removed so that they do not pile up.
  if (layers.length > 1) {
    layer.remove();
    return;
  }
  // At the start of the body the layer covers the whole window even when it was pasted
  // into another box.
  document.body.prepend(layer);
  const blur = Number(layer.dataset.blur) || 0;
  const light = Number(layer.dataset.light) || 1;
  const picture = layer.querySelector('img');
  if (!picture) return;
  Object.assign(picture.style, {
    width: '100%',
    height: '100%',
    objectFit: 'cover',
    filter: `blur(${blur}px) brightness(${light})`,
    // Slightly enlarged, so that the blurred edges stay outside the window.
    transform: `scale(${1 + blur / 150})`
  });
})();
