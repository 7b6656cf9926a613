// Scrolling notice: the items of every .vl-notice list move up one at a time, each staying a few
// seconds; while the mouse is over the box, or a link in it has the focus, the item stays.
(function () {
  const still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
  const stay = 3000;
  const move = still ? 0 : 600;

  // The script runs once per pasted copy of the effect; a box already scrolling is left alone.
  document.querySelectorAll('.vl-notice:not([data-vl-scrolling])').forEach((box) => {
    box.dataset.vlScrolling = '';
    const list = box.querySelector('ul');
    const items = list ? Array.from(list.children) : [];
    if (items.length < 2) return;

    // A copy of the first item at the end: scrolling onto it looks like wrapping round to the
    // start, and the list then jumps back to the real first item without a visible change.
    const copy = items[0].cloneNode(true);
    copy.setAttribute('aria-hidden', 'true');
    list.append(copy);

    let shown = 0;
    let held = false;
    box.addEventListener('mouseenter', () => { held = true; });
    box.addEventListener('mouseleave', () => { held = false; });
    box.addEventListener('focusin', () => { held = true; });
    box.addEventListener('focusout', () => { held = false; });

    window.setInterval(() => {
      if (held) return;
      shown += 1;
      list.style.transition = move ? `transform ${move}ms ease-in-out` : 'none';
      list.style.transform = `translateY(${-list.children[shown].offsetTop}px)`;
      if (shown === items.length) {
        window.setTimeout(() => {
          list.style.transition = 'none';
          list.style.transform = '';
          shown = 0;
        }, move);
      }
    }, stay);
  });
})();
