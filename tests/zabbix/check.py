#!/usr/bin/env python3
"""The shipped templates under a running Zabbix server, through its API.

Imports the templates, creates three hosts on the local agent (one SAP
system measured, one whose logon is refused, one item run over a group)
and waits, with deadlines, for what an administrator would see: every
tablespace discovered, each item's value equal to what fennick prints, the
problems of tablespaces below their levels, the error problem of the failing
system with Fennick's message, and the group's systems with their states.
Run by run.sh, which starts and stops the services.
"""
import argparse
import json
import subprocess
import sys
import time
import urllib.request

SYSTEM_TEMPLATE = "Fennick SAP system by Zabbix agent"
GROUP_TEMPLATE = "Fennick SAP tablespace of a group by Zabbix agent"
STATUS_CODES = {"": 0, "ONLINE": 1, "OFFLINE": 2, "READ ONLY": 3}


class Api:
    def __init__(self, url):
        self.url = url
        self.token = None
        self.calls = 0

    def call(self, method, params):
        self.calls += 1
        body = {"jsonrpc": "2.0", "method": method, "params": params, "id": self.calls}
        if self.token and method not in ("apiinfo.version", "user.login"):
            body["auth"] = self.token
        request = urllib.request.Request(
            self.url, json.dumps(body).encode(), {"Content-Type": "application/json-rpc"})
        with urllib.request.urlopen(request, timeout=60) as response:
            answer = json.loads(response.read())
        if "error" in answer:
            raise RuntimeError("%s: %s" % (method, answer["error"]))
        return answer["result"]


def say(text):
    print("zabbix: " + text, flush=True)


def wait_for(what, deadline, probe):
    """Polls probe() until it returns something true, or fails at the deadline
    with the last thing it said."""
    last = None
    while time.time() < deadline:
        try:
            result, last = probe()
        except (OSError, RuntimeError) as error:
            result, last = None, str(error)
        if result:
            say("ok: " + what)
            return result
        time.sleep(1)
    raise SystemExit("zabbix: FAILED: %s\n    last seen: %s" % (what, last))


def fennick(args, landscape):
    out = subprocess.run(args, cwd=landscape, capture_output=True, timeout=60).stdout
    return json.loads(out)


def same_number(a, b):
    return a is not None and b is not None and float(a) == float(b)


def items_of(api, hostid):
    return {i["key_"]: i for i in api.call("item.get", {
        "hostids": hostid, "output": ["key_", "lastvalue", "lastclock", "state", "error"]})}


def problems_of(api, hostid):
    return [p["name"] for p in api.call("problem.get", {"hostids": hostid, "output": ["name"]})]


def main():
    parser = argparse.ArgumentParser()
    for option in ("--api", "--template", "--agent-port", "--fennick", "--landscape", "--reload"):
        parser.add_argument(option, required=True)
    options = parser.parse_args()
    api = Api(options.api)
    deadline = time.time() + 420

    wait_for("the frontend answers", min(deadline, time.time() + 60),
             lambda: (api.call("apiinfo.version", {}), "no answer"))
    api.token = api.call("user.login", {"username": "Admin", "password": "zabbix"})
    # The server's own host polls an agent on the default port: not ours.
    for own in api.call("host.get", {"filter": {"host": "Zabbix server"}, "output": ["hostid"]}):
        api.call("host.update", {"hostid": own["hostid"], "status": 1})
    with open(options.template, encoding="utf-8") as f:
        source = f.read()
    rule = {"createMissing": True, "updateExisting": True}
    api.call("configuration.import", {"format": "yaml", "source": source, "rules": {
        "groups": {"createMissing": True}, "templates": rule, "items": rule, "discoveryRules": rule,
        "triggers": rule, "valueMaps": rule, "templateLinkage": {"createMissing": True}}})
    say("ok: the templates are imported")

    templates = {t["host"]: t["templateid"] for t in api.call("template.get", {
        "filter": {"host": [SYSTEM_TEMPLATE, GROUP_TEMPLATE]}, "output": ["host"]})}
    group = api.call("hostgroup.create", {"name": "Fennick test"})["groupids"][0]
    interface = {"type": 1, "main": 1, "useip": 1, "ip": "127.0.0.1", "dns": "", "port": options.agent_port}

    def host(name, template, macros):
        return api.call("host.create", {
            "host": name, "interfaces": [interface], "groups": [{"groupid": group}],
            "templates": [{"templateid": templates[template]}],
            "macros": [{"macro": k, "value": v} for k, v in macros.items()]})["hostids"][0]

    # Only the test's hosts shorten the interval; the templates stay as shipped.
    prd = host("fennick-prd", SYSTEM_TEMPLATE, {
        "{$FENNICK.PROFILE}": "PRD", "{$FENNICK.INTERVAL}": "5s",
        '{$FENNICK.FREE.PCT.WARN:"PSAPUNDO"}': "30"})
    qas = host("fennick-qas", SYSTEM_TEMPLATE, {"{$FENNICK.PROFILE}": "QAS", "{$FENNICK.INTERVAL}": "5s"})
    grp = host("fennick-group", GROUP_TEMPLATE, {"{$FENNICK.ITEM}": "PSAPSR3", "{$FENNICK.INTERVAL}": "5s"})
    subprocess.run(options.reload.split(), capture_output=True)
    say("ok: three hosts on the local agent")

    # What fennick itself prints for the same keys.
    system = fennick([options.fennick, "PRD", ",ZABBIX "], options.landscape)
    expected_names = sorted(t["name"] for t in system["tablespaces"] if t["name"] != "PSAPTEMP")
    item_run = fennick([options.fennick, "Vireo", "ITEM=PSAPSR3,ZABBIX "], options.landscape)

    def discovered():
        keys = items_of(api, prd)
        names = sorted(k[len('fennick.ts.size["'):-2] for k in keys if k.startswith("fennick.ts.size["))
        return names == expected_names, "tablespaces %s, expected %s" % (names, expected_names)
    wait_for("every tablespace discovered, PSAPTEMP left out", deadline, discovered)

    def figures(t):
        return {
            "size": t["size_bytes"], "free": t["free_bytes"], "pfree": t["free_pct"], "max": t["max_bytes"],
            "pfree_max": t["free_of_max_pct"], "room": t["max_bytes"] - t["size_bytes"] + t["free_bytes"],
            "status": STATUS_CODES.get(t["status"], 4)}

    def values_equal(hostid, prefix, entries):
        keys = items_of(api, hostid)
        wrong = []
        for name, expected in entries.items():
            for figure, value in expected.items():
                item = keys.get('fennick.%s.%s["%s"]' % (prefix, figure, name))
                actual = item["lastvalue"] if item and item["lastclock"] != "0" else None
                if not same_number(actual, value):
                    wrong.append("%s %s: %s, fennick %s" % (name, figure, actual, value))
        return not wrong, "; ".join(wrong) or "ok"

    tablespaces = {t["name"]: figures(t) for t in system["tablespaces"] if t["name"] != "PSAPTEMP"}
    wait_for("every tablespace's figures equal fennick's", deadline,
             lambda: values_equal(prd, "ts", tablespaces))

    def has_problems(hostid, wanted, unwanted=()):
        names = problems_of(api, hostid)
        ok = all(any(w in n for n in names) for w in wanted) and not any(u in n for n in names for u in unwanted)
        return ok, "problems %s" % names
    wait_for("the problems of tablespaces below their levels, by macro context, and offline", deadline,
             lambda: has_problems(prd, [
                 "Tablespace SYSTEM: less than 5% free", "Tablespace PSAPUNDO: less than 30% free",
                 "Tablespace PSAPARCH: not online"], ["PSAPSR3", "Tablespace SYSTEM: less than 10%", "Fennick:"]))
    wait_for("the failing system's error problem with Fennick's message", deadline,
             lambda: has_problems(qas, [
                 "Fennick: Error 1014: RFC-Failure raised ! - Name or password is incorrect (repeat logon)"]))

    systems = {s["profile"]: s for s in item_run["systems"]}

    def group_discovered():
        keys = items_of(api, grp)
        profiles = sorted(k[len('fennick.group.state["'):-2] for k in keys if k.startswith("fennick.group.state["))
        return profiles == sorted(systems), "systems %s, expected %s" % (profiles, sorted(systems))
    wait_for("every system of the group discovered", deadline, group_discovered)
    measured = {p: figures(s) for p, s in systems.items() if s["state"] == "Processed"}
    wait_for("the group's figures equal fennick's", deadline, lambda: values_equal(grp, "group", measured))

    def states():
        keys = items_of(api, grp)
        wrong = []
        for profile, entry in systems.items():
            want = entry["state"] + (" - " + entry["reason"] if "reason" in entry else "")
            item = keys.get('fennick.group.state["%s"]' % profile)
            if not item or item["lastvalue"] != want:
                wrong.append("%s: %r, fennick %r" % (profile, item and item["lastvalue"], want))
        return not wrong, "; ".join(wrong) or "ok"
    wait_for("the group's states equal fennick's", deadline, states)
    wait_for("the group's problem for the failed system", deadline, lambda: has_problems(
        grp, ["QAS.P00: Rfc Failure - Name or password is incorrect (repeat logon)"], ["PRD.P00", "DEV.P00"]))

    # A system without figures leaves its items in the group as they were,
    # never unsupported; so does a measured system everywhere.
    for hostid in (prd, grp):
        broken = ["%s: %s" % (k, i["error"]) for k, i in items_of(api, hostid).items() if i["state"] != "0"]
        if broken:
            raise SystemExit("zabbix: FAILED: unsupported items %s" % broken)
    say("ok: no item of the measured hosts is unsupported")

    # The forecast triggers exist for every tablespace (the stand-in does
    # not grow, so they stay quiet).
    triggers = [t["description"] for t in api.call("trigger.get", {"hostids": prd, "output": ["description"]})]
    forecasts = [t for t in triggers if "full within" in t]
    if len(forecasts) != len(expected_names):
        raise SystemExit("zabbix: FAILED: forecast triggers %s" % forecasts)
    say("ok: a forecast trigger for every tablespace")


if __name__ == "__main__":
    try:
        main()
    except (OSError, RuntimeError) as error:
        raise SystemExit("zabbix: FAILED: %s" % error)
