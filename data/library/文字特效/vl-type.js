// Typewriter text: the lines (<p>) of every .vl-type box are typed out one character at a time,
// one line after the other; once all are typed the box waits, clears and starts again.
(function () {
  const still = window.matchMedia('(prefers-reduced-motion: reduce)').matches;
  const perCharacter = 120;
  const perLine = 600;
  const whenDone = 3000;

  // The script runs once per pasted copy of the effect; a box already typing is left alone.
  document.querySelectorAll('.vl-type:not([data-vl-typing])').forEach((box) => {
    box.dataset.vlTyping = '';
    const lines = Array.from(box.querySelectorAll('p'));
    // Split by code points, so that a character outside the basic plane is not cut in half.
    const texts = lines.map((line) => Array.from(line.textContent.trim()));
    const caret = document.createElement('span');
    caret.className = 'vl-type-caret';
    caret.setAttribute('aria-hidden', 'true');
    if (lines.length === 0) return;
    if (still) {
      lines[lines.length - 1].append(caret);
      return;
    }

    let line = 0;
    let typed = 0;
    lines.forEach((p) => { p.textContent = ''; });
    const step = () => {
      if (line === lines.length) {
        window.setTimeout(() => {
          lines.forEach((p) => { p.textContent = ''; });
          line = 0;
          typed = 0;
          step();
        }, whenDone);
        return;
      }
      const p = lines[line];
      if (typed < texts[line].length) {
        typed += 1;
        p.textContent = texts[line].slice(0, typed).join('');
        p.append(caret);
        window.setTimeout(step, perCharacter);
      } else {
        p.append(caret);
        line += 1;
        typed = 0;
        window.setTimeout(step, perLine);
      }
    };
    step();
  });
})();
