/**********************************************************************************************
*
*   file_check - a word for whoever opens the page as a file
*
*   Browsers do not run a page's modules (or fetch its data) from file:// addresses, so the
*   page would stay on its loading screen. This classic script, which browsers do run from
*   a file, says instead that the folder has to be served by a web server.
*
*   DEPENDENCIES: none
*
**********************************************************************************************/
window.addEventListener('DOMContentLoaded', function () {
  if (window.location.protocol !== 'file:') return;
  document.getElementById('loading').hidden = true;
  document.getElementById('message-text').textContent =
    'Esta escena se abre desde un servidor web, no como archivo: sirva la carpeta con cualquier ' +
    'servidor de archivos estáticos (por ejemplo "python3 -m http.server" dentro de ella) y abra ' +
    'la dirección que indique.';
  document.getElementById('message').hidden = false;
  document.body.dataset.state = 'file';
});
