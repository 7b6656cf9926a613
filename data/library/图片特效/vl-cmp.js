// Before/after slider: vlCompare(script, names).
// The two <img> tags in the element before the calling script carry their sizes; their
// sources come from the list of file names. The box takes the first picture's size.
window.vlCompare = function (script, names) {
  const box = script.previousElementSibling;
  const pictures = Array.from(box.querySelectorAll('img')).slice(0, 2);
  if (pictures.length < 2) return;
  pictures.forEach((picture, k) => {
    // Encoded so that names with blanks, '#' or '%' still load as file names.
    picture.src = encodeURIComponent(names[k]);
  });

  const line = document.createElement('div');
  line.className = 'vl-cmp-line';
  const range = document.createElement('input');
  range.type = 'range';
  range.className = 'vl-cmp-range';
  range.min = '0';
  range.max = '100';
  range.value = '50';
  range.setAttribute('aria-label', '\u62d6\u52a8\u5bf9\u6bd4\u4e24\u5f20\u56fe\u7247'); // "drag to compare"
  box.append(line, range);

  const show = () => {
    const at = range.value + '%';
    // The second picture shows only to the right of the divider.
    pictures[1].style.clipPath = `inset(0 0 0 ${at})`;
    line.style.left = at;
  };
  range.addEventListener('input', show);
  show();
};
