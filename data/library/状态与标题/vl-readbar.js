// Reading-progress bar: the .vl-readbar navigation moves to the top of the page and sticks there; a
// line along its lower edge shows how much of the page has been scrolled through. Going down the
// page tucks the bar away but for that line; going back up shows it again.
(function () {
  const nav = document.querySelector('.vl-readbar:not([data-vl-ready])');
  // One bar per page: copies pasted a second time are left as they are.
  if (!nav || document.querySelector('.vl-readbar[data-vl-ready]')) return;
  nav.dataset.vlReady = '';
  // Sticking to the top works only from the top: the code may have been pasted at the end.
  document.body.prepend(nav);

  const line = document.createElement('div');
  line.className = 'vl-readbar-progress';
  line.setAttribute('role', 'progressbar');
  line.setAttribute('aria-label', 'reading progress');
  line.setAttribute('aria-valuemin', '0');
  line.setAttribute('aria-valuemax', '100');
  nav.append(line);

  nav.querySelectorAll('a').forEach((link) => {
    if (link.href === window.location.href) link.setAttribute('aria-current', 'page');
  });

  let last = window.scrollY;
  let queued = false;
  const update = () => {
    queued = false;
    const root = document.documentElement;
    const room = root.scrollHeight - window.innerHeight;
    const part = room > 0 ? Math.min(1, Math.max(0, window.scrollY / room)) : 1;
    line.style.transform = `scaleX(${part})`;
    line.setAttribute('aria-valuenow', String(Math.round(part * 100)));
    // Links to places in the page scroll them to just below the bar, not under it.
    root.style.scrollPaddingTop = `${nav.offsetHeight + 8}px`;
    const y = window.scrollY;
    if (Math.abs(y - last) > 4) {
      nav.classList.toggle('vl-readbar-away', y > last && y > nav.offsetHeight * 2);
      last = y;
    }
  };
  // At most once per frame, however often the browser reports scrolling.
  const queue = () => {
    if (!queued) {
      queued = true;
      window.requestAnimationFrame(update);
    }
  };
  window.addEventListener('scroll', queue, { passive: true });
  window.addEventListener('resize', queue);
  update();
})();
