// Background slideshow: the pictures of a .vl-bgshow box cover the whole window behind the page
// and cross-fade one after the other, each staying data-seconds seconds.
(function () {
  const still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
  const fade = still ? 0 : 1500;

  // The script runs once per pasted copy of the effect; a box already running is left alone.
  document.querySelectorAll('.vl-bgshow:not([data-vl-ready])').forEach((box) => {
    box.dataset.vlReady = '';
    // At the start of the body the layer lies under all of the page, even when it was pasted
    // inside a box of its own.
    document.body.prepend(box);
    Object.assign(box.style, {
      position: 'fixed', inset: '0', zIndex: '-1', overflow: 'hidden', pointerEvents: 'none',
    });
    const pictures = Array.from(box.querySelectorAll('img'));
    if (pictures.length === 0) return;
    pictures.forEach((picture, k) => {
      Object.assign(picture.style, {
        position: 'absolute', inset: '0', width: '100%', height: '100%',
        // Cut to the window's shape rather than stretched.
        objectFit: 'cover',
        opacity: k === 0 ? '1' : '0',
        transition: `opacity ${fade}ms ease-in-out`,
      });
    });

    let shown = 0;
    let layer = 1;
    pictures[0].classList.add('vl-bgshow-on');
    if (pictures.length < 2) return;
    const seconds = Number(box.dataset.seconds) > 0 ? Number(box.dataset.seconds) : 8;
    window.setInterval(() => {
      // Nobody sees a hidden tab; it keeps its picture until it is shown again.
      if (document.hidden) return;
      const old = pictures[shown];
      shown = (shown + 1) % pictures.length;
      const next = pictures[shown];
      // The next picture fades in on top of the old one, which is hidden only once covered,
      // so the plain page colour never shows through halfway.
      next.style.zIndex = String(++layer);
      next.style.opacity = '1';
      old.classList.remove('vl-bgshow-on');
      next.classList.add('vl-bgshow-on');
      window.setTimeout(() => { old.style.opacity = '0'; }, fade);
    }, seconds * 1000);
  });
})();
