// The npm package parse-gedcom on the same file, for comparison (bench/host_bench.sh): read the
// file, parse it into its tree, and visit every node and value. The package is used as a black
// box, installed outside this repository: npm install --prefix "$PARSE_GEDCOM_DIR" parse-gedcom
//
// usage: PARSE_GEDCOM_DIR=/tmp/pg node parse_gedcom_bench.js FILE
// Prints "seconds <wall> cpu <user + system> peak_kb <kb> nodes <n> characters <n>".
"use strict";
const fs = require("fs");
const path = require("path");

const folder = process.env.PARSE_GEDCOM_DIR || "/tmp/pg";
const { parse } = require(path.join(folder, "node_modules", "parse-gedcom"));

const start = process.hrtime.bigint();
const cpuStart = process.cpuUsage();
const tree = parse(fs.readFileSync(process.argv[2], "latin1"));
let nodes = 0;
let characters = 0;
const pending = [tree];
while (pending.length > 0) {
  const node = pending.pop();
  nodes += 1;
  if (node.value) characters += node.value.length;
  for (const child of node.children || []) pending.push(child);
}
const seconds = Number(process.hrtime.bigint() - start) / 1e9;
const cpu = process.cpuUsage(cpuStart);
const cpuSeconds = (cpu.user + cpu.system) / 1e6;
const peak = process.resourceUsage().maxRSS;
console.log(`seconds ${seconds.toFixed(3)} cpu ${cpuSeconds.toFixed(3)} peak_kb ${peak} ` +
            `nodes ${nodes} characters ${characters}`);
