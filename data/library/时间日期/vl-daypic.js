// Pictures by time of day: vlDayPic(script, names). The box just before the calling script holds
// one <img> per part of the day (morning, noon, afternoon, evening), carrying only its size; the
// sources come from the list of file names by index. Only the picture of the present part shows,
// with its greeting below, and it changes by itself when the next part begins.
window.vlDayPic = function (script, names) {
  const box = script.previousElementSibling;
  if (!box || box.dataset.vlReady !== undefined) return;
  box.dataset.vlReady = '';
  const pictures = Array.from(box.querySelectorAll('img')).slice(0, names.length);
  if (pictures.length === 0) return;
  pictures.forEach((picture, k) => {
    // Encoded so that names with blanks, '#' or '%' still load as file names.
    picture.src = encodeURIComponent(names[k]);
    picture.style.maxWidth = '100%';
    picture.style.height = 'auto';
  });

  // The hours at which the parts begin, in rising order; before the first one it is still evening.
  const from = (box.dataset.from || '5 11 14 18').trim().split(/\s+/).map(Number);
  const words = (box.dataset.words || '').split('|');
  const caption = document.createElement('figcaption');
  caption.className = 'vl-daypic-words';
  caption.style.marginTop = '0.4em';
  caption.style.fontSize = '1.2em';
  box.append(caption);

  const show = () => {
    const hour = new Date().getHours();
    let part = pictures.length - 1;
    for (let k = 0; k < from.length && k < pictures.length; k++) {
      if (hour >= from[k]) part = k;
    }
    pictures.forEach((picture, k) => {
      picture.hidden = k !== part;
      picture.classList.toggle('vl-daypic-now', k === part);
    });
    caption.textContent = words[part] || '';
  };
  show();
  // Checked once a minute, so a page left open changes at the turn of the hour.
  window.setInterval(show, 60000);
};
