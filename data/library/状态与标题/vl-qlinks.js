// Quick-link panel. The setup window writes one flat list: each group title (.vl-qlinks-head) is
// followed by its links (.vl-qlinks-link). Here every title takes the links after it into a group of
// its own, and the button opens and closes the panel of groups.
(function () {
  // The script runs once per pasted copy of the effect; a panel already set up is left alone.
  document.querySelectorAll('.vl-qlinks:not([data-vl-ready])').forEach((box) => {
    box.dataset.vlReady = '';
    // Fixed to the window's corner from the end of the body, whatever box it was pasted in.
    document.body.append(box);
    const button = box.querySelector('.vl-qlinks-button');
    const panel = box.querySelector('.vl-qlinks-panel');
    if (!button || !panel) return;

    let links = null;
    for (const item of Array.from(panel.children)) {
      if (item.classList.contains('vl-qlinks-head')) {
        const group = document.createElement('li');
        group.className = 'vl-qlinks-group';
        const title = document.createElement('h2');
        title.append(...item.childNodes);
        links = document.createElement('ul');
        group.append(title, links);
        item.replaceWith(group);
      } else if (links && item.classList.contains('vl-qlinks-link')) {
        links.append(item);
      }
    }

    if (!panel.id) panel.id = `vl-qlinks-${Math.random().toString(36).slice(2, 8)}`;
    button.setAttribute('aria-controls', panel.id);
    const show = (open) => {
      panel.hidden = !open;
      button.setAttribute('aria-expanded', String(open));
    };
    show(false);
    button.addEventListener('click', () => {
      show(panel.hidden);
      if (!panel.hidden) {
        const first = panel.querySelector('a');
        if (first) first.focus();
      }
    });
    document.addEventListener('click', (event) => {
      if (!box.contains(event.target)) show(false);
    });
    box.addEventListener('keydown', (event) => {
      if (event.key === 'Escape' && !panel.hidden) {
        show(false);
        button.focus();
      }
    });

    panel.querySelectorAll('a').forEach((link) => {
      if (link.href === window.location.href) link.setAttribute('aria-current', 'page');
    });
  });
})();
