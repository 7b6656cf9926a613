// Radial menu. The setup window writes one flat list: each parent (.vl-radial-top) followed by
// its items (.vl-radial-sub). Each parent becomes a round button; its items get their place on
// a circle around it and show when the button is pressed.
(function () {
  const RADIUS = 80;
  document.querySelectorAll('.vl-radial:not([data-vl-ready])').forEach((nav) => {
    nav.dataset.vlReady = '';
    const groups = [];
    let items = null;
    for (const node of Array.from(nav.children)) {
      if (node.classList.contains('vl-radial-top')) {
        const wrap = document.createElement('div');
        wrap.className = 'vl-radial-wrap';
        const head = document.createElement('button');
        head.type = 'button';
        head.className = 'vl-radial-head';
        head.setAttribute('aria-expanded', 'false');
        head.append(...node.childNodes);
        items = document.createElement('div');
        items.className = 'vl-radial-items';
        wrap.append(head, items);
        node.replaceWith(wrap);
        groups.push(wrap);
      } else if (items && node.classList.contains('vl-radial-sub')) {
        items.append(node);
      }
    }

    const setOpen = (wrap, open) => {
      wrap.classList.toggle('vl-radial-open', open);
      wrap.firstElementChild.setAttribute('aria-expanded', String(open));
    };
    groups.forEach((wrap) => {
      const links = Array.from(wrap.lastElementChild.children);
      links.forEach((link, k) => {
        // Spread evenly round the circle, the first item straight above the button.
        const angle = (2 * Math.PI * k) / links.length - Math.PI / 2;
        link.style.setProperty('--vl-x', Math.round(RADIUS * Math.cos(angle)) + 'px');
        link.style.setProperty('--vl-y', Math.round(RADIUS * Math.sin(angle)) + 'px');
      });
      const head = wrap.firstElementChild;
      head.addEventListener('click', () => {
        const open = !wrap.classList.contains('vl-radial-open');
        groups.forEach((other) => setOpen(other, false));
        setOpen(wrap, open);
      });
      wrap.addEventListener('keydown', (event) => {
        if (event.key === 'Escape') {
          setOpen(wrap, false);
          head.focus();
        }
      });
      wrap.addEventListener('focusout', (event) => {
        if (!wrap.contains(event.relatedTarget)) setOpen(wrap, false);
      });
    });
    document.addEventListener('click', (event) => {
      if (!nav.contains(event.target)) groups.forEach((wrap) => setOpen(wrap, false));
    });
  });
})();
