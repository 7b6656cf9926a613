// Icon navigation. The setup window writes the menu's size as width and height attributes of the
// <nav>, which a <nav> does not use by itself; they become its style here.
(function () {
  document.querySelectorAll('.vl-icon').forEach((nav) => {
    const width = Number(nav.getAttribute('width'));
    const height = Number(nav.getAttribute('height'));
    if (width > 0) nav.style.width = `${width}px`;
    if (height > 0) nav.style.height = `${height}px`;
    nav.querySelectorAll('a').forEach((link) => {
      if (link.href === window.location.href) link.setAttribute('aria-current', 'page');
    });
  });
})();
