// Random recommended link: shows one list item at random and hides the rest;
// the button picks another one, never the same one twice in a row.
(() => {
  document.querySelectorAll('.vl-frand:not([data-vl-ready])').forEach((box) => {
    box.dataset.vlReady = '';
    const items = [...box.querySelectorAll('li')];
    const next = box.querySelector('.vl-frand-next');
    let current = -1;
    const pick = () => {
      let i = Math.floor(Math.random() * items.length);
      if (items.length > 1 && i === current) i = (i + 1) % items.length;
      current = i;
      items.forEach((item, k) => { item.hidden = k !== current; });
    };
    // With one link there is nothing to switch to.
    if (items.length < 2) next.hidden = true;
    next.addEventListener('click', pick);
    pick();
  });
})();
