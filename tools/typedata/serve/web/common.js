// What every page shares: the API calls, the navigation bar, small DOM helpers.
// The pages hold no rule of their own: what differs, what is shared and what
// is wrong comes from the server's documents.

// The access token arrives once in the address (?token=..., as the server
// printed it) and is kept for this tab only: it never goes into a cookie,
// which every other server on 127.0.0.1 would receive, and it is taken out
// of the address at once (history, bookmarks, a shared screen).
const tokenKey = 'typedata-token';

function takeToken() {
  const url = new URL(location.href);
  const given = url.searchParams.get('token');
  if (given !== null) {
    sessionStorage.setItem(tokenKey, given);
    url.searchParams.delete('token');
    if (url.pathname === '/') url.pathname = '/types.html';
    history.replaceState(history.state, '', url.pathname + url.search + url.hash);
  }
  return sessionStorage.getItem(tokenKey) ?? '';
}

export const token = takeToken();

async function request(path, options) {
  const response = await fetch(path, {
    ...options,
    credentials: 'omit',
    referrerPolicy: 'no-referrer',
    headers: { ...options.headers, 'X-Typedata-Token': token },
  });
  const body = await response.json();
  return { ok: response.ok, status: response.status, statusText: response.statusText, body };
}

export async function getJson(path) {
  const { ok, statusText, body } = await request(path, { headers: {} });
  if (!ok) throw new Error(body.error || statusText);
  return body;
}

export async function postJson(path, document) {
  const { ok, status, body } = await request(path, {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify(document),
  });
  return { ok, status, body };
}

// el('a', {href: '#', class: 'x'}, 'text', child): text is never parsed as HTML.
export function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === false || value === null || value === undefined) continue;
    if (name.startsWith('on')) node.addEventListener(name.slice(2), value);
    else node.setAttribute(name, value === true ? '' : value);
  }
  for (const child of children.flat(Infinity)) {
    if (child === null || child === undefined) continue;
    node.append(child instanceof Node ? child : String(child));
  }
  return node;
}

export const pad4 = (number) => String(number).padStart(4, '0');
export const typeLabel = (type) => `${pad4(type.number)} ${type.name}`;
export const typeLink = (number, text) => el('a', { href: `type.html?n=${number}` }, text ?? pad4(number));
export const param = (name) => new URLSearchParams(location.search).get(name);

const pages = [
  ['types.html', 'Types'],
  ['compare.html', 'Compare'],
  ['sharing.html', 'Sharing map'],
  ['check.html', 'Check'],
];

export function header(active) {
  const nav = el('nav', {}, el('span', { class: 'brand' }, 'typedata'),
    pages.map(([href, text]) => el('a', { href, class: href === active ? 'active' : null }, text)));
  document.body.prepend(nav);
}

export function showError(error) {
  const box = document.getElementById('error');
  box.textContent = error ? String(error.message ?? error) : '';
  box.hidden = !error;
}

// Items of a show document grouped: config -> kind -> items, in file order.
export function groupItems(items) {
  const configs = new Map();
  for (const item of items) {
    if (!configs.has(item.config)) configs.set(item.config, new Map());
    const kinds = configs.get(item.config);
    if (!kinds.has(item.kind)) kinds.set(item.kind, []);
    kinds.get(item.kind).push(item);
  }
  return configs;
}

export const inUse = (item) => item.inUse;

// Kinds spelt out with their letter, and the data type letters explained, in
// the glossary's words.
const kindWords = {
  D: 'numbers sent to the controller',
  S: 'numbers sent to the controller',
  A: 'numbers sent to the controller',
  L: 'numbers kept by the operator interface',
  V: 'texts',
};
export const kindTitle = (kind) => `${kind} (${kindWords[kind] ?? 'items'})`;

export function legend() {
  return el('dl', { class: 'legend' },
    el('dt', {}, 'Kinds'),
    el('dd', {}, 'D, S and A: numbers sent to the controller; L: numbers kept by the operator interface; V: texts.'),
    el('dt', {}, 'Data types'),
    el('dd', {}, 'P and F: real numbers; I and the other capital letters: whole numbers; C: a text; blank, 0 or —: not in use.'));
}

// Labels, units and limits, where the machine description gives them: their
// columns appear only then.
export const anyAbout = (items) => items.some((item) => item.label || item.unit || 'min' in item || 'max' in item);
export function limitsText(item) {
  if ('min' in item && 'max' in item) return `${item.min} to ${item.max}`;
  if ('min' in item) return `at least ${item.min}`;
  if ('max' in item) return `at most ${item.max}`;
  return '';
}
export const labelCell = (item) => el('td', { class: 'label' }, item.label ?? '',
  item.unit ? el('span', { class: 'muted' }, `${item.label ? ' ' : ''}(${item.unit})`) : null);
export const limitsCell = (item) => el('td', { class: 'number' }, limitsText(item));
export const shownValue = (item) => String(item.value);
