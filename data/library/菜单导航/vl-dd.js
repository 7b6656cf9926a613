// Drop-down navigation. The setup window writes the menus as one flat list: each parent item
// (.vl-dd-top) is followed by its submenu items (.vl-dd-sub). Here every parent takes the items
// after it into a list of its own, and its name becomes a button that opens that list.
(function () {
  const close = (top) => {
    top.classList.remove('vl-dd-open');
    top.firstElementChild.setAttribute('aria-expanded', 'false');
  };

  // The script runs once per pasted copy of the effect; a menu already grouped is left alone.
  document.querySelectorAll('.vl-dd:not([data-vl-ready])').forEach((nav) => {
    nav.dataset.vlReady = '';
    const bar = nav.querySelector('ul');
    if (!bar) return;
    const tops = [];
    let menu = null;
    for (const item of Array.from(bar.children)) {
      if (item.classList.contains('vl-dd-top')) {
        const head = document.createElement('button');
        head.type = 'button';
        head.className = 'vl-dd-head';
        head.setAttribute('aria-expanded', 'false');
        head.append(...item.firstElementChild.childNodes);
        menu = document.createElement('ul');
        menu.className = 'vl-dd-menu';
        item.replaceChildren(head, menu);
        tops.push(item);
      } else if (menu && item.classList.contains('vl-dd-sub')) {
        menu.append(item);
      }
    }

    tops.forEach((top) => {
      const head = top.firstElementChild;
      head.addEventListener('click', () => {
        const open = !top.classList.contains('vl-dd-open');
        tops.forEach(close);
        top.classList.toggle('vl-dd-open', open);
        head.setAttribute('aria-expanded', String(open));
      });
      top.addEventListener('mouseleave', () => close(top));
      top.addEventListener('keydown', (event) => {
        if (event.key === 'Escape') {
          close(top);
          head.focus();
        }
      });
      // Leaving the menu with the Tab key closes it too.
      top.addEventListener('focusout', (event) => {
        if (!top.contains(event.relatedTarget)) close(top);
      });
    });
    document.addEventListener('click', (event) => {
      if (!nav.contains(event.target)) tops.forEach(close);
    });

    nav.querySelectorAll('a').forEach((link) => {
      if (link.href === window.location.href) link.setAttribute('aria-current', 'page');
    });
  });
})();
