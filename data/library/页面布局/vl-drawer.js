// Drawer menu. The setup window writes the menus as one flat list: each parent item
// (.vl-drawer-top) is followed by its submenu items (.vl-drawer-sub). Here the list moves into a
// modal <dialog> that slides in from the left, grouped under the parents' names, and the page keeps
// only a menu button in its place.
(function () {
  // Texts as escapes, because this file is copied byte for byte: "menu" and "close".
  const words = { menu: '\u83dc\u5355', close: '\u5173\u95ed' };

  // The script runs once per pasted copy of the effect; a menu already built is left alone.
  document.querySelectorAll('.vl-drawer:not([data-vl-ready])').forEach((nav) => {
    nav.dataset.vlReady = '';
    const source = nav.querySelector('.vl-drawer-src');
    if (!source) return;

    const panel = document.createElement('dialog');
    panel.className = 'vl-drawer-panel';
    const title = nav.getAttribute('aria-label') || words.menu;
    panel.setAttribute('aria-label', title);
    const head = document.createElement('div');
    head.className = 'vl-drawer-head';
    head.append(title);
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'vl-drawer-close';
    close.textContent = '\u00d7';
    close.setAttribute('aria-label', words.close);
    head.append(close);
    panel.append(head);

    let list = null;
    for (const item of Array.from(source.children)) {
      if (item.classList.contains('vl-drawer-top')) {
        const group = document.createElement('div');
        group.className = 'vl-drawer-group';
        const name = document.createElement('h3');
        name.append(...item.childNodes);
        list = document.createElement('ul');
        group.append(name, list);
        panel.append(group);
      } else if (item.classList.contains('vl-drawer-sub')) {
        // Submenus before any parent still get a group, without a name.
        if (!list) {
          const group = document.createElement('div');
          group.className = 'vl-drawer-group';
          list = document.createElement('ul');
          group.append(list);
          panel.append(group);
        }
        list.append(item);
      }
    }

    const toggle = document.createElement('button');
    toggle.type = 'button';
    toggle.className = 'vl-drawer-toggle';
    toggle.textContent = words.menu;
    toggle.setAttribute('aria-haspopup', 'dialog');
    source.replaceWith(toggle, panel);

    toggle.addEventListener('click', () => panel.showModal());
    close.addEventListener('click', () => panel.close());
    // A click beside the drawer lands on the dialog itself, outside its box: that closes it.
    panel.addEventListener('click', (event) => {
      if (event.target !== panel) return;
      const box = panel.getBoundingClientRect();
      if (event.clientX > box.right || event.clientX < box.left) panel.close();
    });
    panel.querySelectorAll('a').forEach((link) => {
      if (link.href === window.location.href) link.setAttribute('aria-current', 'page');
      // A link to a place on this same page: close the drawer so that the place can be seen.
      link.addEventListener('click', () => panel.close());
    });
  });
})();
