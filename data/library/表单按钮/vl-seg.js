// Segmented buttons. Every button of a .vl-seg bar is a radio button of one group: a click or the
// arrow keys choose it. A block under the chosen button, in that button's own colour, slides to it.
// Inside a form, a hidden field named after the bar's data-name carries the chosen button's text.
(function () {
  // The script runs once per pasted copy of the effect; a bar already set up is left alone.
  document.querySelectorAll('.vl-seg:not([data-vl-ready])').forEach((bar) => {
    bar.dataset.vlReady = '';
    const buttons = Array.from(bar.querySelectorAll('.vl-seg-btn'));
    if (buttons.length === 0) return;
    buttons.forEach((button) => {
      const label = document.createElement('span');
      label.className = 'vl-seg-label';
      label.append(...button.childNodes);
      button.append(label);
      button.setAttribute('role', 'radio');
    });
    const field = document.createElement('input');
    field.type = 'hidden';
    field.name = bar.dataset.name || 'segment';
    bar.append(field);
    const glider = document.createElement('span');
    glider.className = 'vl-seg-glider';
    glider.setAttribute('aria-hidden', 'true');
    bar.prepend(glider);
    bar.classList.add('vl-seg-sliding');

    let chosen = null;
    const place = () => {
      if (!chosen) return;
      glider.style.width = `${chosen.offsetWidth}px`;
      glider.style.height = `${chosen.offsetHeight}px`;
      glider.style.transform = `translate(${chosen.offsetLeft}px, ${chosen.offsetTop}px)`;
      glider.style.backgroundColor = getComputedStyle(chosen).color;
    };
    const choose = (button, byUser) => {
      chosen = button;
      buttons.forEach((b) => {
        const on = b === button;
        b.setAttribute('aria-checked', String(on));
        // Only the chosen button is a Tab stop; the arrow keys move within the bar.
        b.tabIndex = on ? 0 : -1;
      });
      field.value = button.textContent.trim();
      place();
      if (byUser) bar.dispatchEvent(new CustomEvent('change', { bubbles: true, detail: field.value }));
    };

    buttons.forEach((button, k) => {
      button.addEventListener('click', () => choose(button, true));
      button.addEventListener('keydown', (event) => {
        const step = { ArrowRight: 1, ArrowDown: 1, ArrowLeft: -1, ArrowUp: -1 }[event.key];
        if (!step) return;
        event.preventDefault();
        const next = buttons[(k + step + buttons.length) % buttons.length];
        next.focus();
        choose(next, true);
      });
    });
    // Sizes change when fonts load or the bar wraps onto a new line.
    new ResizeObserver(place).observe(bar);
    choose(buttons.find((b) => b.getAttribute('aria-checked') === 'true') || buttons[0], false);
  });
})();
