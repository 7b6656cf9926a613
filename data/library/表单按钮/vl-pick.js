// Picture choice cards. The radio buttons of a .vl-pick box become one group, named after the box's
// data-name; each one's value is its picture's file name, and each card gets a tick mark.
(function () {
  let groups = 0;
  // The script runs once per pasted copy of the effect; a box already set up is left alone.
  document.querySelectorAll('.vl-pick:not([data-vl-ready])').forEach((box) => {
    box.dataset.vlReady = '';
    groups += 1;
    // Two boxes with the same data-name on one page would otherwise be one group.
    let name = box.dataset.name || 'picture';
    if (document.querySelectorAll(`input[name="${CSS.escape(name)}"]`).length > 0) name += `-${groups}`;
    const inputs = Array.from(box.querySelectorAll('.vl-pick-card input[type="radio"]'));
    inputs.forEach((input) => {
      input.name = name;
      const picture = input.parentElement.querySelector('img');
      if (picture) {
        const file = picture.getAttribute('src') || '';
        input.value = file;
        // The file name without its extension tells screen readers which picture this is.
        input.setAttribute('aria-label', file.replace(/\.[^.]*$/, ''));
      }
      const mark = document.createElement('span');
      mark.className = 'vl-pick-mark';
      mark.setAttribute('aria-hidden', 'true');
      input.parentElement.append(mark);
    });
    if (inputs.length > 0 && !inputs.some((input) => input.checked)) inputs[0].checked = true;
  });
})();
