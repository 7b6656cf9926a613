// Stacked photo cards. vlFstack(script, names): the pictures are the <img>
// elements of the box that stands before the vl-fstack.js script tag; names
// gives their sources in the same order. Clicking sends the top card down.
function vlFstack(script, names) {
  const box = script.previousElementSibling.previousElementSibling;
  if (!box || box.dataset.vlReady !== undefined) return;
  box.dataset.vlReady = '';
  let cards = [...box.querySelectorAll('img')];
  cards.forEach((img, i) => { img.src = names[i] || ''; });
  // A fixed small tilt per position looks like a loose pile of photos.
  const tilts = [-2, 4, -6, 7, -9];
  const lay = () => {
    cards.forEach((img, i) => {
      img.style.zIndex = String(cards.length - i);
      img.style.transform = 'rotate(' + (i ? tilts[(i - 1) % tilts.length] : 0) + 'deg)';
    });
  };
  let busy = false;
  const next = () => {
    if (busy || cards.length < 2) return;
    busy = true;
    const top = cards[0];
    top.classList.add('vl-fstack-out');
    setTimeout(() => {
      cards = cards.slice(1).concat(top);
      top.classList.remove('vl-fstack-out');
      lay();
      busy = false;
    }, 450);
  };
  box.addEventListener('click', next);
  box.addEventListener('keydown', (e) => {
    if (e.key === 'Enter' || e.key === ' ') { e.preventDefault(); next(); }
  });
  lay();
}
