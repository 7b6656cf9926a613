/* Hide-on-scroll top bar: moves header.vl-ebar to the start of the body,
   keeps the page content below it, hides it while scrolling down and
   shows it again when scrolling up or when a link in it gets the focus. */
(function () {
  var bar = document.querySelector('header.vl-ebar');
  if (!bar) return;
  document.body.insertBefore(bar, document.body.firstChild);

  // leave room at the top of the page so the bar does not cover the first lines
  function room() {
    document.body.style.paddingTop = bar.offsetHeight + 'px';
  }
  room();
  window.addEventListener('resize', room);

  // mark the link of the page being shown
  var here = location.href.split('#')[0];
  var links = bar.querySelectorAll('a[href]');
  for (var i = 0; i < links.length; i++) {
    if (links[i].href.split('#')[0] === here) links[i].setAttribute('aria-current', 'page');
  }

  var last = window.scrollY;
  function check() {
    var y = window.scrollY;
    if (y <= bar.offsetHeight) {
      bar.classList.remove('is-hidden');
    } else if (y > last + 6) {
      // scrolling down: hide, unless the visitor is using the bar with the keyboard
      if (!bar.contains(document.activeElement)) bar.classList.add('is-hidden');
    } else if (y < last - 6) {
      bar.classList.remove('is-hidden');
    } else {
      return;
    }
    last = y;
  }
  // the check is cheap, so it runs on every scroll event
  window.addEventListener('scroll', check, { passive: true });
  bar.addEventListener('focusin', function () {
    bar.classList.remove('is-hidden');
  });
  bar.setAttribute('data-vl-ready', '1');
})();
