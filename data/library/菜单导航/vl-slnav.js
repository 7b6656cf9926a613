// Sliding underline: one bar per menu moves under the link being pointed at or focused,
// and returns to the link of the current page (or to the first link when there is none).
(function () {
  document.querySelectorAll('.vl-slnav:not([data-vl-ready])').forEach((nav) => {
    nav.dataset.vlReady = '';
    const links = Array.from(nav.querySelectorAll('a'));
    if (links.length === 0) return;
    const bar = document.createElement('span');
    bar.className = 'vl-slnav-bar';
    bar.setAttribute('aria-hidden', 'true');
    nav.append(bar);

    const current = links.find((link) => link.href === window.location.href);
    if (current) current.setAttribute('aria-current', 'page');
    // Without a link to this page the bar rests under the first link.
    const home = current || links[0];
    const moveTo = (link) => {
      bar.style.width = link.offsetWidth + 'px';
      // offsetTop too, so the bar follows links that wrapped to a second row.
      bar.style.transform = `translate(${link.offsetLeft}px, ${link.offsetTop + link.offsetHeight - nav.clientHeight}px)`;
    };
    links.forEach((link) => {
      link.addEventListener('mouseenter', () => moveTo(link));
      link.addEventListener('focus', () => moveTo(link));
    });
    nav.addEventListener('mouseleave', () => moveTo(home));
    nav.addEventListener('focusout', (event) => {
      if (!nav.contains(event.relatedTarget)) moveTo(home);
    });
    window.addEventListener('resize', () => moveTo(home));
    moveTo(home);
  });
})();
