// What `typedata check` finds, each problem linked to its type and config.
import { el, getJson, header, pad4, showError, typeLink } from './common.js';

header('check.html');

// "type/0012/TOOL0012.DAT": the type and the config a problem is in.
function placeOf(file) {
  const found = /^type\/(\d{4})\/(.+)(\d{4})\.DAT$/i.exec(file);
  return found && found[1] === found[3] ? { number: Number(found[1]), config: found[2] } : null;
}

async function run() {
  const summary = document.getElementById('summary');
  summary.textContent = 'checking…';
  try {
    const { problems } = await getJson('/api/check');
    showError(null);
    summary.textContent = problems.length ? `${problems.length} problem${problems.length === 1 ? '' : 's'} found` : 'No problems found.';
    document.getElementById('content').replaceChildren(problems.length ? el('table', { id: 'problems' },
      el('thead', {}, el('tr', {}, el('th', {}, 'Where'), el('th', {}, 'Problem'), el('th', {}, 'Type'), el('th', {}, 'Config'))),
      el('tbody', {}, problems.map((problem) => {
        const place = placeOf(problem.file);
        return el('tr', {},
          el('td', {}, `${problem.file}:${problem.line}`),
          el('td', {}, problem.problem),
          el('td', {}, place ? typeLink(place.number, pad4(place.number)) : ''),
          el('td', {}, place ? el('a', { href: `edit.html?n=${place.number}&config=${encodeURIComponent(place.config)}` }, place.config) : ''));
      }))) : '');
  } catch (error) {
    summary.textContent = '';
    showError(error);
  }
}

document.getElementById('run').addEventListener('click', run);
run();
