// Thumbnail gallery: wraps each thumbnail in a button and shows the chosen
// picture in a large view above the row. Left/right arrow keys step through.
(() => {
  const setup = (box) => {
    const row = box.querySelector('.vl-fgal-thumbs');
    const view = document.createElement('figure');
    view.className = 'vl-fgal-view';
    const big = document.createElement('img');
    big.alt = '';
    view.append(big);
    box.insertBefore(view, row);
    const buttons = [...row.querySelectorAll('img')].map((img, i) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.title = '\u7b2c' + (i + 1) + '\u5f20';
      img.replaceWith(button);
      button.append(img);
      return button;
    });
    let current = -1;
    const show = (i) => {
      if (i === current || !buttons.length) return;
      current = (i + buttons.length) % buttons.length;
      buttons.forEach((b, k) => b.setAttribute('aria-pressed', String(k === current)));
      const src = buttons[current].querySelector('img').src;
      // Fade out, swap the source, fade back in.
      big.classList.add('vl-fgal-fading');
      setTimeout(() => { big.src = src; big.classList.remove('vl-fgal-fading'); }, big.getAttribute('src') ? 200 : 0);
    };
    buttons.forEach((b, i) => b.addEventListener('click', () => show(i)));
    box.addEventListener('keydown', (e) => {
      if (e.key !== 'ArrowLeft' && e.key !== 'ArrowRight') return;
      e.preventDefault();
      show(current + (e.key === 'ArrowRight' ? 1 : -1));
      buttons[current].focus();
    });
    show(0);
  };
  document.querySelectorAll('.vl-fgal:not([data-vl-ready])').forEach((box) => {
    box.dataset.vlReady = '';
    setup(box);
  });
})();
