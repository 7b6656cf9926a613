// Breadcrumbs: the last item is the current page; when the trail is too wide for its box,
// the middle items fold into a "..." button that unfolds them again.
(function () {
  document.querySelectorAll('.vl-crumb:not([data-vl-ready])').forEach((nav) => {
    nav.dataset.vlReady = '';
    const list = nav.querySelector('ol');
    const items = Array.from(list.children);
    if (items.length === 0) return;

    // The current page is shown as plain text: a link to itself would lead nowhere.
    const last = items[items.length - 1];
    const link = last.querySelector('a');
    if (link) {
      const here = document.createElement('span');
      here.append(...link.childNodes);
      link.replaceWith(here);
    }
    (last.firstElementChild || last).setAttribute('aria-current', 'page');

    if (items.length < 4) return;
    const middle = items.slice(1, -2);
    const fold = document.createElement('li');
    const more = document.createElement('button');
    more.type = 'button';
    more.className = 'vl-crumb-more';
    more.textContent = '\u2026';
    more.title = '\u663e\u793a\u5168\u90e8\u8def\u5f84'; // "show the whole path"
    fold.hidden = true;
    fold.append(more);
    items[1].before(fold);
    let unfolded = false;
    more.addEventListener('click', () => {
      unfolded = true;
      fit();
      (middle[0].querySelector('a') || more).focus();
    });
    const fit = () => {
      middle.forEach((item) => { item.hidden = false; });
      fold.hidden = true;
      if (unfolded) {
        list.style.flexWrap = 'wrap';
        return;
      }
      if (list.scrollWidth > list.clientWidth) {
        middle.forEach((item) => { item.hidden = true; });
        fold.hidden = false;
      }
    };
    window.addEventListener('resize', fit);
    fit();
  });
})();
