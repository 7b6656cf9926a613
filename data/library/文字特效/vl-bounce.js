// Bouncing letters: splits the text of each line into one span per character, each with its
// place in the line, so the stylesheet can start their jumps one after the other.
(function () {
  const split = (node, counter) => {
    for (const child of Array.from(node.childNodes)) {
      if (child.nodeType === Node.TEXT_NODE) {
        const spans = Array.from(child.textContent.trim() === '' ? [] : child.textContent).map((ch) => {
          const span = document.createElement('span');
          span.className = 'vl-bounce-ch';
          span.setAttribute('aria-hidden', 'true');
          span.style.setProperty('--vl-i', String(counter.n++));
          span.textContent = ch;
          return span;
        });
        if (spans.length) child.replaceWith(...spans);
      } else if (child.nodeType === Node.ELEMENT_NODE) {
        // Text inside the user's own tags (links, bold text) bounces too.
        split(child, counter);
      }
    }
  };
  document.querySelectorAll('.vl-bounce:not([data-vl-ready])').forEach((box) => {
    box.dataset.vlReady = '';
    box.querySelectorAll('p').forEach((line) => {
      // Screen readers read the whole line, not one character at a time.
      line.setAttribute('aria-label', line.textContent.trim());
      split(line, { n: 0 });
    });
  });
})();
