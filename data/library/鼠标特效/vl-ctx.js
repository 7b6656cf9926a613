// Context menu: a right click on the page opens the .vl-ctx list of links at the mouse pointer instead
// of the browser's own menu. In text fields, over selected text and with the Shift key held, the
// browser's menu still opens, so copying and pasting keep working. A click elsewhere, Esc, scrolling
// or leaving the window closes it; the arrow keys move between the links.
(function () {
  const nav = document.querySelector('.vl-ctx:not([data-vl-ready])');
  // One menu per page: copies pasted a second time are left as they are.
  if (!nav || document.querySelector('.vl-ctx[data-vl-ready]')) return;
  nav.dataset.vlReady = '';
  // At the end of the body no box of the page can clip it or shift where it opens.
  document.body.append(nav);
  const links = Array.from(nav.querySelectorAll('a'));
  if (links.length === 0) return;

  const close = () => {
    nav.hidden = true;
    nav.classList.remove('vl-ctx-open');
  };
  const open = (x, y) => {
    nav.hidden = false;
    nav.classList.add('vl-ctx-open');
    // Kept inside the window: near the right or bottom edge it opens to the left or upwards.
    const width = nav.offsetWidth;
    const height = nav.offsetHeight;
    nav.style.left = `${Math.max(0, x + width > window.innerWidth ? x - width : x)}px`;
    nav.style.top = `${Math.max(0, y + height > window.innerHeight ? y - height : y)}px`;
  };
  const wantsOwnMenu = (event) => {
    if (event.shiftKey) return true;
    const target = event.target;
    if (target.closest && target.closest('input, textarea, select, [contenteditable=""], [contenteditable="true"]')) return true;
    const selection = window.getSelection();
    return selection && !selection.isCollapsed && selection.toString().trim() !== '';
  };

  document.addEventListener('contextmenu', (event) => {
    if (nav.contains(event.target)) {
      event.preventDefault();
      return;
    }
    if (wantsOwnMenu(event)) {
      close();
      return;
    }
    event.preventDefault();
    open(event.clientX, event.clientY);
    // Opened by the keyboard's menu key, it takes the focus so the arrow keys work at once.
    if (event.button !== 2) links[0].focus();
  });
  document.addEventListener('pointerdown', (event) => {
    if (!nav.hidden && !nav.contains(event.target)) close();
  });
  nav.addEventListener('click', close);
  window.addEventListener('scroll', close, { passive: true });
  window.addEventListener('blur', close);
  document.addEventListener('keydown', (event) => {
    if (nav.hidden) return;
    if (event.key === 'Escape') {
      close();
      return;
    }
    const step = { ArrowDown: 1, ArrowUp: -1 }[event.key];
    if (!step) return;
    event.preventDefault();
    const at = links.indexOf(document.activeElement);
    links[(at + step + links.length) % links.length].focus();
  });
})();
