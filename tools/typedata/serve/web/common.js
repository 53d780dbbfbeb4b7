// What every page shares: the API calls, the navigation bar, small DOM helpers.
// The pages hold no rule of their own: what differs, what is shared and what
// is wrong comes from the server's documents.

export const token = document.querySelector('meta[name="typedata-token"]').content;

export async function getJson(path) {
  const response = await fetch(path, { credentials: 'same-origin' });
  const body = await response.json();
  if (!response.ok) throw new Error(body.error || response.statusText);
  return body;
}

export async function postJson(path, document) {
  const response = await fetch(path, {
    method: 'POST',
    credentials: 'same-origin',
    headers: { 'Content-Type': 'application/json', 'X-Typedata-Token': token },
    body: JSON.stringify(document),
  });
  return { ok: response.ok, status: response.status, body: await response.json() };
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
export const shownValue = (item) => String(item.value);
