// Accordion menu. The setup window writes the menus as one flat list: each parent item (.vl-acc-top)
// is followed by its submenu items (.vl-acc-sub). Here every parent becomes a heading with a button,
// followed by a panel holding its items; opening one panel closes the others.
(function () {
  // Ids go on counting across pasted copies, so that no two panels share one.
  let made = document.querySelectorAll('.vl-acc-panel').length;
  // The script runs once per pasted copy of the effect; a menu already built is left alone.
  document.querySelectorAll('.vl-acc:not([data-vl-ready])').forEach((nav) => {
    nav.dataset.vlReady = '';
    const source = nav.querySelector('.vl-acc-src');
    if (!source) return;
    const sections = [];
    let list = null;
    for (const item of Array.from(source.children)) {
      if (item.classList.contains('vl-acc-top')) {
        made += 1;
        const section = document.createElement('div');
        section.className = 'vl-acc-section';
        const head = document.createElement('h3');
        head.className = 'vl-acc-head';
        const button = document.createElement('button');
        button.type = 'button';
        button.setAttribute('aria-expanded', 'false');
        button.setAttribute('aria-controls', `vl-acc-panel-${made}`);
        button.append(...item.childNodes);
        head.append(button);
        const panel = document.createElement('div');
        panel.className = 'vl-acc-panel';
        panel.id = `vl-acc-panel-${made}`;
        list = document.createElement('ul');
        panel.append(list);
        section.append(head, panel);
        sections.push({ button, panel });
      } else if (list && item.classList.contains('vl-acc-sub')) {
        list.append(item);
      }
    }
    if (sections.length === 0) return;
    source.replaceWith(...sections.map((s) => s.button.closest('.vl-acc-section')));

    const open = (chosen) => {
      sections.forEach((s) => {
        const on = s === chosen && s.button.getAttribute('aria-expanded') !== 'true';
        s.button.setAttribute('aria-expanded', String(on));
        s.panel.classList.toggle('vl-acc-open', on);
      });
    };
    sections.forEach((s) => s.button.addEventListener('click', () => open(s)));

    // The section holding a link to the page itself opens first (else the first one), its link marked.
    let first = sections[0];
    sections.forEach((s) => {
      s.panel.querySelectorAll('a').forEach((link) => {
        if (link.href === window.location.href) {
          link.setAttribute('aria-current', 'page');
          first = s;
        }
      });
    });
    open(first);
  });
})();
