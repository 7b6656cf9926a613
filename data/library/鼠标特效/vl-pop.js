// Words popping up at a click: the <span> lines of a hidden .vl-pop box are shown one after the
// other, one per click, each rising from the point clicked and fading away. The click itself does
// what it always does (a link still opens).
(function () {
  const box = document.querySelector('.vl-pop:not([data-vl-ready])');
  // One set of words per page: copies pasted a second time are left as they are.
  if (!box || document.querySelector('.vl-pop[data-vl-ready]')) return;
  box.dataset.vlReady = '';
  const words = Array.from(box.querySelectorAll('span'));
  if (words.length === 0) return;
  // Someone who turned animations off in the system gets no flying words.
  if (window.matchMedia('(prefers-reduced-motion: reduce)').matches) return;

  let next = 0;
  document.addEventListener('click', (event) => {
    // Clicks made by a script or the keyboard have no place on the screen to pop up from.
    if (event.detail === 0) return;
    const word = words[next].cloneNode(true);
    next = (next + 1) % words.length;
    word.classList.add('vl-pop-word');
    word.setAttribute('aria-hidden', 'true');
    word.style.left = `${event.clientX}px`;
    word.style.top = `${event.clientY}px`;
    document.body.append(word);
    const flight = word.animate([
      { transform: 'translate(-50%, -50%) scale(0.6)', opacity: 0 },
      { transform: 'translate(-50%, -120%) scale(1)', opacity: 1, offset: 0.2 },
      { transform: 'translate(-50%, -400%) scale(1)', opacity: 0 },
    ], { duration: 1200, easing: 'ease-out' });
    flight.onfinish = () => word.remove();
  });
})();
