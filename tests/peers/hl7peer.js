// HL7 v2 peers over MLLP on 127.0.0.1 for the link tests (node-hl7-server / -client).
// node hl7peer.js receive PORT ANSWER DIR [tls]: takes messages, stores each as DIR/<n>.hl7
//   as received, answers with an ACK of code ANSWER (AA, AE) or never ("none"); a list
//   (AE,AA) answers the n-th message with its n-th code, the rest with the last; prints "ready".
//   With "tls", over TLS with the certificate of tls/ (self-signed, for 127.0.0.1).
// node hl7peer.js send PORT FILE: sends the message in FILE and prints the ACK's segments.
const fs = require('node:fs');
const path = require('node:path');
const { Server } = require('node-hl7-server');
const { Client, Message } = require('node-hl7-client');

const [mode, port, arg, dir, tls] = process.argv.slice(2);
if (mode === 'receive') {
  let raw = '';
  let count = 0;
  const options = { bindAddress: '127.0.0.1' };
  if (tls === 'tls')
    options.tls = { key: fs.readFileSync('tls/key.pem'), cert: fs.readFileSync('tls/cert.pem') };
  const inbound = new Server(options).createInbound({ port: Number(port) }, async (req, res) => {
    fs.writeFileSync(path.join(dir, `${++count}.hl7`), raw);
    const codes = arg.split(',');
    const code = codes[Math.min(count, codes.length) - 1];
    if (code !== 'none') await res.sendResponse(code);
  });
  inbound.on('data.raw', (text) => { raw = text; });
  inbound.on('listen', () => console.log('ready'));
} else {
  const client = new Client({ host: '127.0.0.1' });
  const outbound = client.createConnection({ port: Number(port), waitAck: true }, async (res) => {
    console.log(res.getMessage().toString().split('\r').join('\n'));
    process.exit(0);
  });
  outbound.sendMessage(new Message({ text: fs.readFileSync(arg, 'utf8') }));
  setTimeout(() => process.exit(2), 10000);
}
