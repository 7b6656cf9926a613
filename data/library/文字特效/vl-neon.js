// Neon sign: every line glows softly; now and then one line flickers briefly.
(function () {
  const still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
  document.querySelectorAll('.vl-neon:not([data-vl-ready])').forEach((sign) => {
    sign.dataset.vlReady = '';
    const lines = Array.from(sign.querySelectorAll('p'));
    lines.forEach((line, k) => {
      line.classList.add('vl-neon-line');
      // Lines breathe out of step with each other.
      line.style.animationDelay = `${-k * 0.7}s`;
    });
    if (still || lines.length === 0) return;
    const flicker = () => {
      const line = lines[Math.floor(Math.random() * lines.length)];
      let blinks = 2 + Math.floor(Math.random() * 3);
      const blink = () => {
        line.classList.toggle('vl-neon-flicker');
        if (--blinks > 0 || line.classList.contains('vl-neon-flicker')) window.setTimeout(blink, 60 + Math.random() * 90);
      };
      blink();
      window.setTimeout(flicker, 2500 + Math.random() * 4000);
    };
    window.setTimeout(flicker, 1500);
  });
})();
