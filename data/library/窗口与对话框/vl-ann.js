// Notice pop-up. Every .vl-ann dialog opens by itself once the page is there, one after the other
// when there are several. A dialog closed once stays closed for the rest of the visit (this tab's
// session storage), until its text changes.
(function () {
  const close = '\u5173\u95ed'; // "close", as an escape: this file is copied byte for byte.
  const remembered = (key) => {
    try { return window.sessionStorage.getItem(key) === '1'; } catch (e) { return false; }
  };
  const remember = (key) => {
    try { window.sessionStorage.setItem(key, '1'); } catch (e) { /* storage off: shown again next time */ }
  };
  // A short fingerprint of the notice, so that a changed notice is shown again.
  const hash = (text) => {
    let h = 0;
    for (let i = 0; i < text.length; i += 1) h = (h * 31 + text.charCodeAt(i)) | 0;
    return (h >>> 0).toString(36);
  };

  let made = document.querySelectorAll('.vl-ann[data-vl-ready]').length;
  const waiting = [];
  // The script runs once per pasted copy of the effect; a dialog already set up is left alone.
  document.querySelectorAll('dialog.vl-ann:not([data-vl-ready])').forEach((dialog) => {
    dialog.dataset.vlReady = '';
    made += 1;
    const title = dialog.querySelector('.vl-ann-title');
    if (title) {
      title.id = title.id || `vl-ann-title-${made}`;
      dialog.setAttribute('aria-labelledby', title.id);
    }
    const x = document.createElement('button');
    x.type = 'button';
    x.className = 'vl-ann-x';
    x.textContent = '\u00d7';
    x.setAttribute('aria-label', close);
    x.addEventListener('click', () => dialog.close());
    dialog.prepend(x);
    const key = `vl-ann:${window.location.pathname}:${hash(dialog.textContent)}`;
    if (remembered(key)) return;
    dialog.addEventListener('close', () => {
      remember(key);
      const next = waiting.shift();
      if (next) next.showModal();
    });
    waiting.push(dialog);
  });
  const first = waiting.shift();
  if (first) first.showModal();
})();
