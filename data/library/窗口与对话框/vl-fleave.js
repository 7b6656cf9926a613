// Leave-site confirmation: a click on one of the links opens the dialog with
// the link's text and address; only "go" follows the link.
(() => {
  document.querySelectorAll('.vl-fleave:not([data-vl-ready])').forEach((nav) => {
    const box = nav.querySelector('dialog.vl-fleave-box');
    if (!box || !box.showModal) return;
    nav.dataset.vlReady = '';
    let target = null;
    nav.querySelector('ul').addEventListener('click', (e) => {
      const link = e.target.closest('a[href]');
      // Let modified clicks (new tab, new window) through unchanged.
      if (!link || e.ctrlKey || e.shiftKey || e.metaKey || e.button) return;
      e.preventDefault();
      target = link;
      box.querySelector('.vl-fleave-name').textContent = link.textContent;
      box.querySelector('.vl-fleave-url').textContent = link.href;
      box.returnValue = '';
      box.showModal();
    });
    box.addEventListener('close', () => {
      if (box.returnValue === 'go' && target) {
        if (target.target) window.open(target.href, target.target);
        else location.href = target.href;
      }
      target = null;
    });
    // A click on the dark backdrop closes the dialog like "stay".
    box.addEventListener('click', (e) => { if (e.target === box) box.close('stay'); });
  });
})();
