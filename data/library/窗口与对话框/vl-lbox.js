// Picture lightbox. Each .vl-lbox box gets one modal <dialog>: a click on a thumbnail shows that
// picture large; the arrow buttons and keys step through the box's pictures, Esc or a click on the
// dark area closes it. The large picture is made on first opening, so nothing extra loads before.
(function () {
  // Labels are written as escapes because this file is copied byte for byte beside pages of any
  // encoding: close, previous, next.
  const words = { close: '\u5173\u95ed', prev: '\u4e0a\u4e00\u5f20', next: '\u4e0b\u4e00\u5f20' };

  const button = (cls, text, label) => {
    const b = document.createElement('button');
    b.type = 'button';
    b.className = cls;
    b.textContent = text;
    b.setAttribute('aria-label', label);
    return b;
  };

  // The script runs once per pasted copy of the effect; a box already set up is left alone.
  document.querySelectorAll('.vl-lbox:not([data-vl-ready])').forEach((box) => {
    box.dataset.vlReady = '';
    const thumbs = Array.from(box.querySelectorAll('.vl-lbox-thumb'));
    const sources = thumbs.map((thumb) => thumb.querySelector('img').getAttribute('src'));
    if (thumbs.length === 0) return;

    const view = document.createElement('dialog');
    view.className = 'vl-lbox-view';
    const stage = document.createElement('div');
    stage.className = 'vl-lbox-stage';
    const count = document.createElement('div');
    count.className = 'vl-lbox-count';
    const close = button('vl-lbox-close', '\u00d7', words.close);
    const prev = button('vl-lbox-prev', '\u2039', words.prev);
    const next = button('vl-lbox-next', '\u203a', words.next);
    view.append(stage, close, prev, next);
    document.body.append(view);
    let big = null;
    let shown = 0;

    const show = (k) => {
      shown = (k + sources.length) % sources.length;
      if (!big) {
        big = document.createElement('img');
        big.className = 'vl-lbox-big';
        big.alt = '';
        stage.append(big, count);
      }
      big.src = sources[shown];
      // Restart the fade-in for every picture.
      big.style.animation = 'none';
      void big.offsetWidth;
      big.style.animation = '';
      count.textContent = `${shown + 1} / ${sources.length}`;
    };
    prev.hidden = next.hidden = sources.length < 2;

    thumbs.forEach((thumb, k) => {
      thumb.addEventListener('click', () => {
        show(k);
        view.showModal();
        close.focus();
      });
    });
    prev.addEventListener('click', () => show(shown - 1));
    next.addEventListener('click', () => show(shown + 1));
    close.addEventListener('click', () => view.close());
    view.addEventListener('keydown', (event) => {
      if (event.key === 'ArrowLeft') show(shown - 1);
      if (event.key === 'ArrowRight') show(shown + 1);
    });
    // A click on the dark area (not on the picture or a button) closes the view.
    stage.addEventListener('click', (event) => {
      if (event.target === stage) view.close();
    });
    // Back on the page, the keyboard continues from the thumbnail of the picture last shown.
    view.addEventListener('close', () => thumbs[shown].focus());
  });
})();
