// Flip card: the two pictures in each .vl-flip become the faces of one button, so the card
// can also be turned by a click, a tap or the keyboard.
(function () {
  document.querySelectorAll('.vl-flip:not([data-vl-ready])').forEach((card) => {
    card.dataset.vlReady = '';
    const faces = Array.from(card.querySelectorAll('img')).slice(0, 2);
    if (faces.length < 2) return;
    const inner = document.createElement('button');
    inner.type = 'button';
    inner.className = 'vl-flip-inner';
    inner.setAttribute('aria-pressed', 'false');
    inner.setAttribute('aria-label', '\u7ffb\u8f6c\u5361\u7247'); // "flip the card"
    inner.append(...faces);
    card.replaceChildren(inner);
    inner.addEventListener('click', () => {
      inner.setAttribute('aria-pressed', String(inner.getAttribute('aria-pressed') !== 'true'));
    });
  });
})();
