// Tabs. The setup window writes the menus as one flat list: each parent item (.vl-tabs-top) is
// followed by its submenu items (.vl-tabs-sub). Here every parent becomes a tab and the items after
// it the list in that tab's panel. The width and height attributes, set in the setup window, become
// the box's width and the height of the tab bar and panel together.
(function () {
  // Ids go on counting across pasted copies, so that no two tabs share one.
  let made = document.querySelectorAll('.vl-tabs-tab').length;
  // The script runs once per pasted copy of the effect; tabs already built are left alone.
  document.querySelectorAll('.vl-tabs:not([data-vl-ready])').forEach((box) => {
    box.dataset.vlReady = '';
    const source = box.querySelector('.vl-tabs-src');
    if (!source) return;
    const width = Number(box.getAttribute('width'));
    const height = Number(box.getAttribute('height'));
    if (width > 0) box.style.width = `${width}px`;

    const bar = document.createElement('div');
    bar.className = 'vl-tabs-bar';
    bar.setAttribute('role', 'tablist');
    const tabs = [];
    const panels = [];
    let list = null;
    for (const item of Array.from(source.children)) {
      if (item.classList.contains('vl-tabs-top')) {
        made += 1;
        const tab = document.createElement('button');
        tab.type = 'button';
        tab.className = 'vl-tabs-tab';
        tab.id = `vl-tabs-tab-${made}`;
        tab.setAttribute('role', 'tab');
        tab.append(...item.childNodes);
        const panel = document.createElement('div');
        panel.className = 'vl-tabs-panel';
        panel.id = `vl-tabs-panel-${made}`;
        panel.setAttribute('role', 'tabpanel');
        panel.setAttribute('aria-labelledby', tab.id);
        tab.setAttribute('aria-controls', panel.id);
        list = document.createElement('ul');
        panel.append(list);
        bar.append(tab);
        tabs.push(tab);
        panels.push(panel);
      } else if (list && item.classList.contains('vl-tabs-sub')) {
        list.append(item);
      }
    }
    if (tabs.length === 0) return;
    source.replaceWith(bar, ...panels);

    const choose = (k) => {
      tabs.forEach((tab, i) => {
        const on = i === k;
        tab.setAttribute('aria-selected', String(on));
        // Only the chosen tab is a Tab stop; the arrow keys move along the bar.
        tab.tabIndex = on ? 0 : -1;
        panels[i].hidden = !on;
      });
    };
    tabs.forEach((tab, k) => {
      tab.addEventListener('click', () => choose(k));
      tab.addEventListener('keydown', (event) => {
        const to = { ArrowRight: k + 1, ArrowLeft: k - 1, Home: 0, End: tabs.length - 1 }[event.key];
        if (to === undefined) return;
        event.preventDefault();
        const next = (to + tabs.length) % tabs.length;
        tabs[next].focus();
        choose(next);
      });
    });
    // The panels share what is left of the height below the tab bar; a longer list scrolls.
    if (height > 0) {
      const fit = () => {
        const rest = Math.max(40, height - bar.offsetHeight - 2);
        panels.forEach((panel) => { panel.style.height = `${rest}px`; });
      };
      fit();
      new ResizeObserver(fit).observe(bar);
    }

    // The tab holding a link to the page itself is chosen first, and that link is marked.
    let first = 0;
    panels.forEach((panel, k) => {
      panel.querySelectorAll('a').forEach((link) => {
        if (link.href === window.location.href) {
          link.setAttribute('aria-current', 'page');
          first = k;
        }
      });
    });
    choose(first);
  });
})();
