// Horizontal picture scroller. Adds an arrow button on either side of every .vl-hscroll track;
// each press scrolls by most of the visible width, and a button hides at its end of the row.
(function () {
  // Labels as escapes, because this file is copied byte for byte: previous, next.
  const words = { prev: '\u5411\u5de6\u6eda\u52a8', next: '\u5411\u53f3\u6eda\u52a8' };

  // The script runs once per pasted copy of the effect; a scroller already set up is left alone.
  document.querySelectorAll('.vl-hscroll:not([data-vl-ready])').forEach((box) => {
    box.dataset.vlReady = '';
    const track = box.querySelector('.vl-hscroll-track');
    if (!track) return;
    const make = (cls, text, label, direction) => {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = `vl-hscroll-btn ${cls}`;
      b.textContent = text;
      b.setAttribute('aria-label', label);
      // The arrows repeat what the track's own scrolling does; keyboard users scroll the track.
      b.tabIndex = -1;
      b.addEventListener('click', () => {
        track.scrollBy({ left: direction * track.clientWidth * 0.8 });
      });
      box.append(b);
      return b;
    };
    const prev = make('vl-hscroll-prev', '\u2039', words.prev, -1);
    const next = make('vl-hscroll-next', '\u203a', words.next, 1);
    const update = () => {
      const end = track.scrollWidth - track.clientWidth;
      prev.disabled = track.scrollLeft <= 1;
      next.disabled = track.scrollLeft >= end - 1;
    };
    track.addEventListener('scroll', update, { passive: true });
    // Pictures loading or the window resizing change how far the row reaches.
    new ResizeObserver(update).observe(track);
    track.querySelectorAll('img').forEach((picture) => picture.addEventListener('load', update));
    update();
  });
})();
