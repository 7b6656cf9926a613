// Step-by-step wizard dialog: shows one <section> at a time with a
// "step i / n" counter; prev/next move, "done" and the x close the dialog.
(() => {
  document.querySelectorAll('.vl-fwiz:not([data-vl-ready])').forEach((root) => {
    const box = root.querySelector('dialog.vl-fwiz-box');
    if (!box || !box.showModal) return;
    root.dataset.vlReady = '';
    const pages = [...box.querySelectorAll('.vl-fwiz-page')];
    const count = box.querySelector('.vl-fwiz-count');
    const prev = box.querySelector('.vl-fwiz-prev');
    const next = box.querySelector('.vl-fwiz-next');
    const done = box.querySelector('.vl-fwiz-done');
    let step = 0;
    const show = (i) => {
      step = Math.max(0, Math.min(pages.length - 1, i));
      pages.forEach((p, k) => { p.hidden = k !== step; });
      count.textContent = '\u7b2c ' + (step + 1) + ' \u6b65\uff0c\u5171 ' + pages.length + ' \u6b65';
      prev.hidden = step === 0;
      next.hidden = step === pages.length - 1;
      done.hidden = !next.hidden;
      (next.hidden ? done : next).focus();
    };
    root.querySelector('.vl-fwiz-open').addEventListener('click', () => {
      box.showModal();
      show(0);
    });
    prev.addEventListener('click', () => show(step - 1));
    next.addEventListener('click', () => show(step + 1));
    done.addEventListener('click', () => box.close());
    box.querySelector('.vl-fwiz-close').addEventListener('click', () => box.close());
    // Before the first opening, prepare step one so the dialog is never empty.
    pages.forEach((p, k) => { p.hidden = k !== 0; });
    count.textContent = '\u7b2c 1 \u6b65\uff0c\u5171 ' + pages.length + ' \u6b65';
  });
})();
