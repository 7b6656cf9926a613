// Cross-fading slideshow: vlFade(script, names, seconds).
// The pictures are the <img> tags in the element just before the calling script; the
// tags carry only their sizes, so the sources come from the list of file names by index.
window.vlFade = function (script, names, seconds) {
  const box = script.previousElementSibling;
  const pictures = Array.from(box.querySelectorAll('img')).slice(0, names.length);
  if (pictures.length === 0) return;
  const fade = window.matchMedia('(prefers-reduced-motion: reduce)').matches ? 0 : 1200;

  // All pictures share one grid cell: they lie on top of each other and the box
  // takes the size of the largest one.
  box.style.display = 'inline-grid';
  pictures.forEach((picture, k) => {
    // Encoded so that names with blanks, '#' or '%' still load as file names.
    picture.src = encodeURIComponent(names[k]);
    picture.style.gridArea = '1 / 1';
    picture.style.placeSelf = 'center';
    picture.style.opacity = k === 0 ? '1' : '0';
    picture.style.transition = `opacity ${fade}ms ease-in-out`;
  });

  let shown = 0;
  let layer = 1;
  let paused = false;
  // A picture under the mouse stays until the mouse leaves.
  box.addEventListener('mouseenter', () => { paused = true; });
  box.addEventListener('mouseleave', () => { paused = false; });
  window.setInterval(() => {
    if (paused || pictures.length < 2) return;
    const old = pictures[shown];
    shown = (shown + 1) % pictures.length;
    const next = pictures[shown];
    // The next picture fades in on top while the old one stays fully shown beneath,
    // so the page background never shows through halfway; once covered, the old one
    // is hidden, ready to fade in again on its turn.
    next.style.zIndex = String(++layer);
    next.style.opacity = '1';
    window.setTimeout(() => { old.style.opacity = '0'; }, fade);
  }, (seconds || 4) * 1000);
};
