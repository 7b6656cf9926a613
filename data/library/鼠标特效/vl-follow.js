// Picture following the mouse: every img.vl-follow floats beside the mouse pointer and glides after
// it, a little behind. It is hidden until the mouse first moves and while the mouse is outside the window.
(function () {
  const still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
  // Where the picture sits from the pointer, so that it never covers what the pointer points at.
  const offsetX = 18;
  const offsetY = 18;
  // Share of the remaining distance covered per frame: smaller follows more lazily.
  const ease = still ? 1 : 0.18;

  // The script runs once per pasted copy of the effect; a picture already following is left alone.
  document.querySelectorAll('img.vl-follow:not([data-vl-ready])').forEach((picture) => {
    picture.dataset.vlReady = '';
    // Taken out of the page's flow, so it never pushes the page's text about.
    document.body.append(picture);
    Object.assign(picture.style, {
      position: 'fixed', left: '0', top: '0', zIndex: '2147483000', pointerEvents: 'none',
      opacity: '0', transition: 'opacity 0.3s', willChange: 'transform',
    });

    let x = 0;
    let y = 0;
    let goalX = 0;
    let goalY = 0;
    let moving = false;
    const place = () => { picture.style.transform = `translate(${x}px, ${y}px)`; };
    const step = () => {
      x += (goalX - x) * ease;
      y += (goalY - y) * ease;
      place();
      // Stops once it has caught up, so a still mouse costs nothing.
      moving = Math.abs(goalX - x) > 0.5 || Math.abs(goalY - y) > 0.5;
      if (moving) window.requestAnimationFrame(step);
    };

    let seen = false;
    document.addEventListener('pointermove', (event) => {
      if (event.pointerType !== 'mouse') return;
      goalX = event.clientX + offsetX;
      goalY = event.clientY + offsetY;
      if (!seen) {
        // The first time it appears right at the pointer instead of flying in from the corner.
        seen = true;
        x = goalX;
        y = goalY;
        place();
      }
      picture.style.opacity = '1';
      if (!moving) {
        moving = true;
        window.requestAnimationFrame(step);
      }
    }, { passive: true });
    document.documentElement.addEventListener('mouseleave', () => { picture.style.opacity = '0'; });
  });
})();
